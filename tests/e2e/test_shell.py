"""The toolbar's help and on-screen tool on the real program: the help document really shows
in the help window's browser, and the on-screen tool's process ends whenever the toolbar closes
its window, so toggling it leaves nothing running."""

import os
import re
import sys
import time

from kvorne_e2e import SKY_BLUE, Program, check, click, mapped_windows, pixel, run, screen_size, \
    screenshot, toolbar_button, toolbar_left, toolbar_shown, wait_for

HELP_ORANGE = (255, 128, 64)  # 4227327
DOCUMENT_PAPER = (255, 253, 248)  # the help document's page colour
TOOL_CAPTION = '"%*Y"'


def toolbar_shown(sw):
    return pixel(toolbar_left(sw) + 10, 0) == SKY_BLUE


def tool_window():
    return next((w for w in mapped_windows() if w[5] == TOOL_CAPTION), None)


def window_pid(wid):
    out = run("xprop", "-id", wid, "_NET_WM_PID")
    return int(re.search(r"= (\d+)", out).group(1))


def process_ended(pid):
    """Gone, or a zombie no one has reaped yet: either way it no longer runs."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] in ("Z", "X")
    except FileNotFoundError:
        return True


def check_help(sw, sh):
    click(*toolbar_button(sw, 229))
    hx, hy = (sw - 792) // 2, (sh - 516) // 2
    wait_for(lambda: pixel(hx + 2, hy + 2) == HELP_ORANGE, 30, "the help window")
    # The browser's place stays in the window's orange without the browser module, and shows
    # an error page when the document is missing: only the document has its paper colour.
    wait_for(lambda: pixel(hx + 5, hy + 50) == DOCUMENT_PAPER, 30,
             "the help document in the browser")
    check(True, "the help window shows the help document")
    screenshot("e2e-help.png")
    click(hx + 353 + 40, hy + 484 + 14)
    wait_for(lambda: pixel(hx + 2, hy + 2) != HELP_ORANGE, 10, "the help window to close")
    check(True, "the help window closes on its button")


def check_on_screen_tool(sw, pids):
    for round_ in (1, 2):
        click(*toolbar_button(sw, 114))
        wait_for(lambda: tool_window() is not None, 20, "the on-screen tool's window")
        pid = window_pid(tool_window()[0])
        pids.append(pid)
        check(not process_ended(pid), f"round {round_}: the toolbar started the on-screen tool")
        time.sleep(0.5)
        click(*toolbar_button(sw, 114))
        wait_for(lambda: tool_window() is None, 10, "the tool's window to close")
        wait_for(lambda: process_ended(pid), 10, "the tool's process to end")
        check(True, f"round {round_}: closing its window ends the tool's process")
    check(pids[0] != pids[1], "each start is a new process")


def main(folder):
    sw, sh = screen_size()
    program = Program(folder)
    tool_pids = []
    try:
        wait_for(lambda: toolbar_shown(sw), 20, "the toolbar")
        check_help(sw, sh)
        check_on_screen_tool(sw, tool_pids)
    finally:
        program.stop()
        for pid in tool_pids:  # what a failed round left running
            if not process_ended(pid):
                os.kill(pid, 9)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
