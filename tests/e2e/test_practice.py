"""Writing practice on the real program, with a dock window standing in for the taskbar: the
toolbar's button starts the engine beneath the pad and hides the taskbar; a line selected in the
pad, or picked with the engine's magnifier, shows in the engine's grid, where the pen writes; the
pad's exit closes the engine and brings the taskbar back, and so does the engine's own stop.
Also the on-screen tool's button, which starts the tool and closes it again."""

import subprocess
import sys
import time

from kvorne_e2e import Program, check, click, drag, mapped_windows, run, screen_size, screenshot, \
    toolbar_button, toolbar_left, wait_for, wait_for_toolbar

# The engine's colours: the grid's border, the model character and the pupil's ink.
BORDER = (190, 30, 30)
MODEL = (200, 200, 200)
INK = (20, 20, 20)


def grab(x, y, w, h):
    """The screen rectangle as a dict of (x, y) -> (r, g, b)."""
    data = subprocess.run(["import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "-depth",
                           "8", "rgb:-"], check=True, capture_output=True).stdout
    return {(x + i % w, y + i // w): tuple(data[3 * i:3 * i + 3]) for i in range(w * h)}


def pixels_of(colour, x, y, w, h):
    return frozenset(p for p, c in grab(x, y, w, h).items() if c == colour)


def window_named(name):
    for w in mapped_windows():
        if w[5] == f'"{name}"':
            return w
    return None


def program_running(name):
    """Whether a Qt program of that application name still has its windows on the display."""
    return f'"{name}"' in run("xwininfo", "-root", "-children")


def kill_clients(names):
    """Ends the programs owning windows of these names, so that a failed run leaves no engine
    covering the screen for the tests after it."""
    for line in run("xwininfo", "-root", "-children").splitlines():
        parts = line.split()
        if len(parts) > 1 and any(line.strip().startswith(f'{parts[0]} "{n}"') for n in names):
            run("xkill", "-id", parts[0], check=False)


def map_state(window_id):
    out = run("xwininfo", "-id", window_id)
    return "IsViewable" in out


def main(folder):
    sw, sh = screen_size()
    dock = subprocess.Popen(["xmessage", "-geometry", f"{sw}x30+0+{sh - 30}", "taskbar"])
    program = None
    try:
        wait_for(lambda: window_named("xmessage") is not None, 10, "the stand-in taskbar")
        dock_id = window_named("xmessage")[0]
        run("xprop", "-id", dock_id, "-f", "_NET_WM_WINDOW_TYPE", "32a", "-set",
            "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_DOCK")

        program = Program(folder)
        wait_for_toolbar(sw, 20)
        toolbar_x = toolbar_left(sw)

        # The on-screen tool: one click starts it, the next closes it.
        click(*toolbar_button(sw, 114))
        wait_for(lambda: window_named("%*Y") is not None, 10, "the on-screen tool")
        check(True, "the tool button starts the on-screen tool")
        click(*toolbar_button(sw, 114))
        wait_for(lambda: not program_running("vrnkb"), 10, "the on-screen tool to end")
        check(True, "the tool button closes it again, and the tool ends")

        # Practice: the pad at the top centre, the engine full screen beneath everything.
        pad = ((sw - 552) // 2, max(0, (sh - 424) // 2 - 100), 551, 154)
        if sh == 600:
            pad = ((sw - 552) // 2, 40, 551, 103)
        click(*toolbar_button(sw, 153))
        wait_for(lambda: window_named("书写练习") is not None, 10, "the pad")
        check(window_named("书写练习")[1:5] == pad, f"the pad is placed at {pad}")
        wait_for(lambda: window_named("书写练习引擎") is not None, 10, "the engine's window")
        check(window_named("书写练习引擎")[1:5] == (0, 0, sw, sh), "the engine covers the screen")
        wait_for(lambda: not map_state(dock_id), 5, "the taskbar to be hidden")
        check(True, "the taskbar is hidden while practice runs")
        wait_for(lambda: mapped_windows()[-1][5] == '"书写练习引擎"', 3,
                 "the engine at the bottom")
        check(True, "the engine's window is kept at the bottom")

        pad_x, pad_y, _, pad_h = pad
        below = pad_y + pad_h
        area = (0, below, sw, sh - below)
        border = pixels_of(BORDER, *area)
        check(len(border) > 1000, "the engine's practice grid shows below the pad")
        gx0 = min(p[0] for p in border)
        gy0 = min(p[1] for p in border)
        gx1 = max(p[0] for p in border)
        gy1 = max(p[1] for p in border)
        grid = (gx0, gy0, gx1 - gx0 + 1, gy1 - gy0 + 1)
        check(gy1 - gy0 + 1 >= sh // 5, "the grid's cells are at least a fifth of the screen high")
        check(not pixels_of(MODEL, *grid), "the grid starts empty")

        # A line selected in the pad goes to the grid.
        run("xdotool", "mousemove", str(pad_x + 60), str(pad_y + 12), "click", "--repeat", "3",
            "--delay", "60", "1")
        wait_for(lambda: len(pixels_of(MODEL, *grid)) > 500, 5, "the first line in the grid")
        first = pixels_of(MODEL, *grid)
        check(True, "the line selected in the pad shows in the engine's grid")

        # The engine's magnifier dropped on the pad's third line picks that line.
        magnifier = (10 + 24, below + 10 + 24)
        third = (pad_x + 60, pad_y + 44)
        drag([magnifier, ((magnifier[0] + third[0]) // 2, (magnifier[1] + third[1]) // 2), third])
        wait_for(lambda: pixels_of(MODEL, *grid) not in (first, frozenset()), 5,
                 "the third line in the grid")
        check(True, "the magnifier dropped on a line of the pad picks that line")

        # The pen writes in the first cell.
        cell = gy1 - gy0 + 1
        drag([(gx0 + cell // 4 + 6 * i, gy0 + cell // 3 + 4 * i) for i in range(20)])
        wait_for(lambda: len(pixels_of(INK, *grid)) > 100, 3, "the stroke in the grid")
        check(True, "a stroke written with the pointer shows in dark ink")
        # Writing gives the engine the focus, and a window manager puts a focused window that
        # fills the screen above the others: the pad and the toolbar stay above it.
        time.sleep(0.5)
        stack = mapped_windows()
        above = stack[:[w[5] for w in stack].index('"书写练习引擎"')]
        check(any(w[5] == '"书写练习"' for w in above) and
              any(w[1:5] == (toolbar_x, 0, 343, 39) for w in above),
              "the pad and the toolbar stay above the engine while the pupil writes")
        screenshot("e2e-practice.png")

        # The pad's exit closes the engine and gives the taskbar back.
        click(pad_x + 517 + 15, pad_y + 7 + 15)
        wait_for(lambda: not program_running("ani"), 5, "the engine to end")
        wait_for(lambda: window_named("书写练习") is None, 5, "the pad to hide")
        check(map_state(dock_id), "leaving the pad closes the engine and restores the taskbar")

        # Again, ended by the engine's own stop button: the pad follows it.
        click(*toolbar_button(sw, 153))
        wait_for(lambda: window_named("书写练习引擎") is not None, 10, "the engine again")
        wait_for(lambda: not map_state(dock_id), 5, "the taskbar to be hidden again")
        time.sleep(0.5)
        click(sw - 10 - 48, below + 10 + 24)
        wait_for(lambda: not program_running("ani"), 5, "the engine to stop")
        wait_for(lambda: window_named("书写练习") is None and map_state(dock_id), 5,
                 "the pad to end practice")
        check(True, "the engine's stop ends practice and restores the taskbar")

        click(*toolbar_button(sw, 267))
        wait_for(lambda: window_named("提示信息") is not None, 10, "the exit question")
        run("xdotool", "key", "Return")
        wait_for(lambda: not program.alive(), 10, "the program to end")
        check(program.process.returncode == 0, "the program ends cleanly")
    finally:
        if program is not None:
            program.stop()
        kill_clients(["书写练习引擎", "%*Y"])
        dock.kill()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
