"""Helpers for running the real K_Vorne under an X server and looking at the screen."""

import os
import re
import subprocess
import sys
import tempfile
import time


def run(*args, check=True):
    return subprocess.run(args, check=check, capture_output=True, text=True).stdout


def screen_size():
    out = run("xwininfo", "-root")
    w = int(re.search(r"Width: (\d+)", out).group(1))
    h = int(re.search(r"Height: (\d+)", out).group(1))
    return w, h


def pixel(x, y):
    """The colour of a screen pixel as (r, g, b)."""
    out = run("import", "-window", "root", "-crop", f"1x1+{x}+{y}", "-depth", "8", "txt:-")
    m = re.search(r"\((\d+),(\d+),(\d+)", out.splitlines()[1])
    return tuple(int(v) for v in m.groups())


def screenshot(path):
    run("import", "-window", "root", path)


def wait_for(condition, timeout, what):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if condition():
            return
        time.sleep(0.1)
    raise AssertionError(f"timed out after {timeout} s waiting for {what}")


def window_tree():
    """xwininfo's tree of every window. A window that goes while the tree is read fails the
    reading: it is read again."""
    for _ in range(20):
        tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True)
        if tree.returncode == 0:
            return tree.stdout
        time.sleep(0.05)
    return run("xwininfo", "-root", "-tree")


def mapped_windows():
    """Top-level windows that are mapped and on the screen: (id, x, y, width, height, name), top
    first. A window manager puts each window it manages into a frame of its own: the window in
    the frame then stands for the frame, with its place on the screen."""
    out = window_tree()
    entry = re.compile(r'( +)(0x[0-9a-f]+) (.*?): \(.*?\)\s+(\d+)x(\d+)\+-?\d+\+-?\d+'
                       r'\s+\+(-?\d+)\+(-?\d+)')
    tops = []
    top_indent = None
    for line in out.splitlines():
        m = entry.match(line)
        if not m:
            continue
        indent = len(m.group(1))
        wid, name = m.group(2), m.group(3)
        window = (wid, int(m.group(6)), int(m.group(7)), int(m.group(4)), int(m.group(5)), name)
        if top_indent is None:
            top_indent = indent
        if indent == top_indent:
            tops.append(window)
        elif (indent == top_indent + 3 and tops[-1][5] == "(has no name)"
              and name != "(has no name)"):
            tops[-1] = window
    windows = []
    for window in tops:
        if window[1] + window[3] <= 0 or window[2] + window[4] <= 0:
            continue  # off the screen: a window manager's own
        info = run("xwininfo", "-id", window[0], check=False)
        if "IsViewable" in info:
            windows.append(window)
    return windows


def place_window(name, x, y, timeout=20):
    """Waits for another program's window of that name and puts its inside at (x, y), as on
    the desktop without a window manager the test was written for: a window manager's frame
    around it then lies further out."""
    wait_for(lambda: any(w[5] == f'"{name}"' for w in mapped_windows()), timeout, name)
    wid = next(w[0] for w in mapped_windows() if w[5] == f'"{name}"')
    extents = re.findall(r"\d+", run("xprop", "-id", wid, "_NET_FRAME_EXTENTS", check=False))
    left, _, top, _ = (int(v) for v in extents[:4]) if len(extents) >= 4 else (0, 0, 0, 0)
    run("xdotool", "windowmove", "--sync", wid, str(x - left), str(y - top))


def net_wm_state(wid):
    """The window's _NET_WM_STATE atoms as names, which panels read to list a window."""
    out = run("xprop", "-id", wid, "_NET_WM_STATE", check=False)
    return set(re.findall(r"_NET_WM_STATE_\w+", out))


def program_windows():
    """How many windows, mapped or not, carry the program's caption: one for each running
    copy."""
    return window_tree().count('"K_Vorne"')


def click(x, y, button=1):
    run("xdotool", "mousemove", str(x), str(y), "click", str(button))


def drag(points):
    """Press the left button at the first point, move through the others, release at the last."""
    x, y = points[0]
    run("xdotool", "mousemove", str(x), str(y), "mousedown", "1")
    for x, y in points[1:]:
        run("xdotool", "mousemove", str(x), str(y))
        time.sleep(0.02)
    run("xdotool", "mouseup", "1")


class Program:
    """One running copy of K_Vorne started from its program folder, or by an installed
    launcher when given one. Its drive C (and so its configuration file) lies in a data folder
    of its own, never in the machine's home."""

    def __init__(self, folder, data_home=None):
        self.folder = folder
        env = dict(os.environ)
        if data_home is None:
            self._data = tempfile.TemporaryDirectory(prefix="k-vorne-data-")
            data_home = self._data.name
        self.data_home = data_home
        env["XDG_DATA_HOME"] = data_home
        if os.path.isdir(folder):
            command, cwd = ["./K_Vorne"], folder
        else:
            command, cwd = [folder], None
        self.process = subprocess.Popen(command, cwd=cwd, env=env,
                                        stdout=subprocess.PIPE, stderr=subprocess.STDOUT)

    def alive(self):
        return self.process.poll() is None

    def stop(self):
        """kill -9, and wait until the X server has let go of the copy's windows: a copy
        started before that would take them for a running copy and end at once."""
        if self.alive():
            before = program_windows()
            self.process.kill()
            self.process.wait()
            end = time.monotonic() + 5
            while program_windows() >= before > 0 and time.monotonic() < end:
                time.sleep(0.05)

    def output(self):
        if self.alive():
            return ""
        return self.process.stdout.read().decode(errors="replace")


def check(condition, message):
    if not condition:
        print("FAIL:", message, file=sys.stderr)
        raise AssertionError(message)
    print("ok:", message)


BACKGROUND = (128, 128, 128)  # the whiteboard with no settings file: grey
SKY_BLUE = (0xA6, 0xCA, 0xF0)  # the toolbar's panel


def toolbar_left(sw):
    """The left edge of the floating toolbar docked on a screen `sw` wide."""
    return sw - 436


def toolbar_button(sw, left):
    """The middle of the toolbar's 38 x 38 button at `left` in the toolbar: 0 whiteboard,
    38 annotation, 114 on-screen tool, 153 writing practice, 191 blanking, 229 help, 267 exit,
    305 shrink."""
    return toolbar_left(sw) + left + 19, 20


def toolbar_shown(sw):
    """The floating toolbar docked at the top right of a screen `sw` wide."""
    return any(w[1:5] == (toolbar_left(sw), 0, 343, 39) for w in mapped_windows())


def wait_for_toolbar(sw, timeout=40):
    """Waits for the toolbar; a start takes longer on a busy machine."""
    wait_for(lambda: toolbar_shown(sw), timeout, "the toolbar")


def command_bar(sw):
    """The left edge of the board's command bar at the right end of its title bar."""
    return sw - 724


def board_button(sw, left, width=38, top=1, height=38):
    """The middle of the board's command at `left` in its command bar."""
    return command_bar(sw) + left + width // 2, top + height // 2


def open_board(sw, timeout=40):
    """Waits for the toolbar and opens the board."""
    wait_for_toolbar(sw, timeout)
    click(*toolbar_button(sw, 0))
    wait_for(lambda: pixel(sw - 1, 38) == BACKGROUND, 10, "the whiteboard")


def turn_left(sw):
    click(*board_button(sw, 516, width=30))


def turn_right(sw):
    click(*board_button(sw, 578, width=28))


def choose_document(sw, path):
    """Opens the board's text panel and picks `path` in its document dialog."""
    click(sw - 724 + 477 + 19, 29)  # the board's 导入: the text panel at (0, 41)
    time.sleep(0.5)
    before = len(mapped_windows())
    click(3 * 22 + 11, 41 + 10)  # the panel's 文: the document dialog
    wait_for(lambda: len(mapped_windows()) > before, 10, "the document dialog")
    time.sleep(0.5)
    run("xdotool", "key", "ctrl+a")
    run("xdotool", "type", "--delay", "20", path)
    run("xdotool", "key", "Return")
