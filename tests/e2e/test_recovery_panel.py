"""The text panel kept through a crash: opened, moved and typed into, then an idle moment in
which the recovery folder is written once and then left alone; after kill -9 the next start
brings the panel back at its new place with its text."""

import os
import sys
import time

from kvorne_e2e import Program, check, click, drag, mapped_windows, open_board, pixel, run, \
    screen_size, wait_for

BACKGROUND = (128, 128, 128)
QUESTION_TITLE = '"提示信息"'
PANEL_TOP = 41
MOVED = 300  # how far the panel is dragged to the right
WORDS = "Kvorne recovery"


def question_shown():
    return any(w[5] == QUESTION_TITLE for w in mapped_windows())


def panel_at(left):
    """The panel covers the page from `left` on, and the page shows left of it."""
    return pixel(left + 100, 300) != BACKGROUND and pixel(left - 50, 300) == BACKGROUND


def main(folder):
    sw, sh = screen_size()
    # The page's text file lives in the program folder: one left by an earlier run is set
    # aside, and put back afterwards.
    text_file = os.path.join(folder, "1")
    aside = text_file + ".e2e-aside"
    if os.path.exists(text_file):
        os.replace(text_file, aside)
    first = Program(folder)
    data_home = first.data_home
    manifest = os.path.join(data_home, "K_Vorne", "recovery", "manifest.json")
    try:
        try:
            open_board(sw)
            click(sw - 724 + 477 + 19, 29)  # 导入: the text panel at the left edge
            wait_for(lambda: pixel(100, 300) != BACKGROUND, 5, "the text panel")
            grip = (320, PANEL_TOP + 10)  # the drag bar right of the panel's buttons
            run("xdotool", "mousemove", str(grip[0]), str(grip[1]))
            time.sleep(0.1)
            drag([(grip[0] + MOVED * i // 10, grip[1]) for i in range(11)])
            wait_for(lambda: panel_at(MOVED), 5, "the panel moved right")
            click(MOVED + 150, 200)
            run("xdotool", "type", "--delay", "30", WORDS)
            # Written about two seconds after the last key; then the idle board is left alone.
            time.sleep(3)
            wait_for(lambda: os.path.exists(manifest), 5, "the recovery folder")
            written = os.stat(manifest).st_mtime_ns
            time.sleep(4)
            check(os.stat(manifest).st_mtime_ns == written,
                  "the idle board is not written again")
        finally:
            first.stop()  # kill -9

        second = Program(folder, data_home=data_home)
        try:
            wait_for(question_shown, 20, "the recovery question")
            run("xdotool", "key", "Return")  # Yes is the default button
            wait_for(lambda: not question_shown() and pixel(sw - 1, 38) == BACKGROUND, 10,
                     "the board after Yes")
            wait_for(lambda: panel_at(MOVED), 5, "the panel at its new place")
            check(True, "the panel comes back where it was moved to")
            with open(text_file, "rb") as f:
                check(WORDS.encode() in f.read(), "the panel's text comes back")
        finally:
            second.stop()
    finally:
        if os.path.exists(text_file):
            os.remove(text_file)
        if os.path.exists(aside):
            os.replace(aside, text_file)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
