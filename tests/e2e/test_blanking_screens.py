"""Blanking on a desktop of two screens (an X server of its own with two screens): the first
blanking asks which screens to blank, the second screen alone goes black, and the board on the
first still takes the pen; the choice is kept for the next blanking; a click on the black
screen gives the picture back."""

import os
import subprocess
import sys
import time

from kvorne_e2e import BACKGROUND, Program, check, drag, mapped_windows, open_board, pixel, \
    run, screen_size, wait_for

INK = (255, 0, 0)
CHOICE = "选择消隐的屏幕"


def start_two_screen_server():
    for n in range(150, 200):
        if os.path.exists(f"/tmp/.X11-unix/X{n}") or os.path.exists(f"/tmp/.X{n}-lock"):
            continue
        server = subprocess.Popen(["Xvfb", f":{n}", "-screen", "0", "1280x800x24", "-screen",
                                   "1", "1024x768x24", "-nolisten", "tcp"],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(50):
            if os.path.exists(f"/tmp/.X11-unix/X{n}"):
                break
            time.sleep(0.1)
        if server.poll() is None:
            return server, n
        server.wait()
    raise AssertionError("could not start a two-screen Xvfb")


def on_second(*args):
    """A command on the second screen."""
    env = dict(os.environ, DISPLAY=os.environ["DISPLAY"].split(".")[0] + ".1")
    return subprocess.run(args, check=True, capture_output=True, text=True, env=env).stdout


def second_is_black():
    out = on_second("import", "-window", "root", "-crop", "4x4+500+400", "-depth", "8", "txt:-")
    return all("#000000" in line for line in out.splitlines()[1:])


def blanking_on_second():
    """A black window of the program mapped on the second screen."""
    for line in on_second("xwininfo", "-root", "-tree").splitlines():
        if '"消隐投影"' in line:
            wid = line.split()[0]
            if "IsViewable" in on_second("xwininfo", "-id", wid):
                return True
    return False


def choice_window():
    out = run("xdotool", "search", "--onlyvisible", "--name", CHOICE, check=False)
    return out.split()[0] if out.split() else None


def blank_from_board(sw):
    subprocess.run(["xdotool", "mousemove", str(sw - 724 + 646 + 19), "20", "click", "1"],
                   check=True)


def main(folder):
    server, n = start_two_screen_server()
    os.environ["DISPLAY"] = f":{n}.0"
    program = None
    try:
        sw, sh = screen_size()
        program = Program(folder)
        open_board(sw)

        blank_from_board(sw)
        wait_for(lambda: choice_window() is not None, 10, "the question which screens to blank")
        window = choice_window()
        run("xdotool", "windowfocus", "--sync", window, check=False)
        run("xdotool", "key", "Return")  # as ticked: the second screen
        wait_for(second_is_black, 10, "the second screen black")
        check(blanking_on_second(), "the blanking window is on the second screen")
        check(pixel(sw - 1, 38) == BACKGROUND, "the first screen still shows the board")

        y = sh // 2
        drag([(200 + 20 * i, y) for i in range(11)])
        wait_for(lambda: pixel(300, y) == INK, 5, "a stroke on the board beside the blanking")
        check(second_is_black(), "the second screen stays black while the board is used")

        # A click on the black screen gives the picture back.
        subprocess.run(["xdotool", "mousemove", "--screen", "1", "300", "300", "click", "1"],
                       check=True)
        wait_for(lambda: not blanking_on_second(), 10, "the blanking ended")
        run("xdotool", "mousemove", "--screen", "0", "600", "400")

        # The choice is kept: the next blanking asks nothing.
        blank_from_board(sw)
        wait_for(blanking_on_second, 10, "the second blanking")
        check(choice_window() is None, "the kept choice is not asked again")
        check(pixel(300, y) == INK, "the first screen still shows the page")
    finally:
        if program is not None:
            program.stop()
        server.terminate()  # it removes its socket and lock
        server.wait()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
