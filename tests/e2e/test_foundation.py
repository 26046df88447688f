"""The real program under an X server (started from its program folder, or by an installed
launcher given instead): one copy at a time, the docked toolbar kept on top,
the whiteboard in the background colour, and the exit question."""

import subprocess
import sys
import time

from kvorne_e2e import BACKGROUND, SKY_BLUE, Program, check, click, mapped_windows, net_wm_state, \
    pixel, run, screen_size, screenshot, toolbar_button, toolbar_left, wait_for


def toolbar(sw):
    for w in mapped_windows():
        if w[1:5] == (toolbar_left(sw), 0, 343, 39):
            return w
    return None


def main(folder):
    sw, sh = screen_size()
    first = Program(folder)
    try:
        wait_for(lambda: toolbar(sw) is not None, 20, "the toolbar to be mapped")
        check(True, "toolbar mapped at (SW - 436, 0), 343 x 39")
        time.sleep(0.5)
        check(pixel(toolbar_left(sw) + 10, 0) == SKY_BLUE, "toolbar's panel shows at its place")
        screenshot("e2e-toolbar.png")
        check("_NET_WM_STATE_SKIP_TASKBAR" in net_wm_state(toolbar(sw)[0]),
              "the toolbar has no taskbar button")

        second = Program(folder)
        try:
            second.process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            second.stop()
            raise AssertionError("a second copy did not end by itself")
        check(second.process.returncode == 0, "the second copy ends by itself")
        check(first.alive() and toolbar(sw) is not None, "the first copy is untouched")

        # Another window raised over the toolbar: the toolbar is back on top within 1.5 s.
        cover = subprocess.Popen(["xmessage", "-geometry", f"500x120+{sw - 480}+0",
                                  "covering the toolbar"])
        try:
            wait_for(lambda: any(w[5].startswith('"xmessage') for w in mapped_windows()), 10,
                     "the covering window")
            cover_id = next(w[0] for w in mapped_windows() if w[5].startswith('"xmessage'))
            run("xdotool", "windowraise", cover_id)
            raised_at = time.monotonic()
            wait_for(lambda: pixel(toolbar_left(sw) + 10, 0) == SKY_BLUE, 3, "the toolbar on top")
            check(time.monotonic() - raised_at <= 1.5, "toolbar back on top within 1.5 s")
            check(mapped_windows()[0][1:5] == (toolbar_left(sw), 0, 343, 39),
                  "the toolbar is the top window again")
        finally:
            cover.kill()

        # The whiteboard button: a full-screen board in the background colour.
        click(*toolbar_button(sw, 0))
        wait_for(lambda: any(w[3:5] == (sw, sh) for w in mapped_windows()), 10,
                 "the full-screen whiteboard")
        wait_for(lambda: pixel(sw - 1, 38) == BACKGROUND, 5,
                 "the background colour at (SW - 1, 38)")
        check(True, "the whiteboard shows page 1 in the background colour")
        check(toolbar(sw) is None, "the toolbar is hidden while the board shows")
        board = next(w for w in mapped_windows() if w[3:5] == (sw, sh))
        check("_NET_WM_STATE_SKIP_TASKBAR" in net_wm_state(board[0]),
              "the whiteboard has no taskbar button")
        screenshot("e2e-whiteboard.png")

        # Back to the toolbar with the board's return button, then leave with Yes.
        click(sw - 2 - 38 + 19, 20)
        wait_for(lambda: toolbar(sw) is not None, 10, "the toolbar to come back")
        click(*toolbar_button(sw, 267))
        wait_for(lambda: any(w[5] == '"提示信息"' for w in mapped_windows()), 10,
                 "the exit question")
        # The box opens over the toolbar, which raises itself every second: two ticks later
        # the question must still be above it, its text not covered.
        time.sleep(2.5)
        screenshot("e2e-exit-question.png")
        stack = [w[0] for w in mapped_windows()]
        box = next(w for w in mapped_windows() if w[5] == '"提示信息"')
        check(stack.index(box[0]) < stack.index(toolbar(sw)[0]),
              "the exit question stays above the toolbar")
        check(box[2] < 39 and pixel(box[1] + 4, box[2] + 4) != SKY_BLUE,
              "the toolbar does not cover the question")
        run("xdotool", "key", "Return")
        wait_for(lambda: not first.alive(), 10, "the program to end after Yes")
        check(first.process.returncode == 0, "the program ends cleanly after Yes")
    finally:
        first.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
