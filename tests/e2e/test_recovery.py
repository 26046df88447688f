"""The board kept through a crash: strokes on three pages, an idle moment, kill -9; the next
start asks, and Yes brings the three pages back pixel for pixel on the page that was current.
A second copy started meanwhile neither asks nor removes anything; the exit command leaves no
recovery folder."""

import os
import subprocess
import sys
import time

from kvorne_e2e import BACKGROUND, Program, check, click, drag, mapped_windows, open_board, \
    pixel, run, screen_size, toolbar_button, wait_for, wait_for_toolbar

INK = (255, 0, 0)
QUESTION_TITLE = '"提示信息"'


def page_area(sw, sh):
    """The pixels of the page below the board's title bar, as raw RGB bytes."""
    return subprocess.run(["import", "-window", "root", "-crop", f"{sw}x{sh - 41}+0+41",
                           "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout


def question_shown():
    return any(w[5] == QUESTION_TITLE for w in mapped_windows())


def main(folder):
    sw, sh = screen_size()
    command_bar = sw - 724
    turn_left = (command_bar + 516 + 15, 20)
    turn_right = (command_bar + 578 + 14, 20)
    recovery = None
    first = Program(folder)
    data_home = first.data_home
    recovery = os.path.join(data_home, "K_Vorne", "recovery")
    manifest = os.path.join(recovery, "manifest.json")
    pages = {}
    try:
        open_board(sw, 20)
        for page in (1, 2, 3):
            if page > 1:
                click(*turn_right)
                wait_for(lambda: pixel(300, 300 + 40 * page) == BACKGROUND, 5, f"page {page}")
            y = 260 + 40 * page
            drag([(100 + 20 * i + 30 * page, y + (i % 3) * 7) for i in range(15)])
            time.sleep(0.3)
            pages[page] = page_area(sw, sh)
        click(*turn_left)  # page 2 is the current page at the crash
        wait_for(lambda: page_area(sw, sh) == pages[2], 5, "page 2 again")
        # The idle moment: the board is written about two seconds after the last change.
        wait_for(lambda: os.path.exists(manifest), 10, "the recovery folder")
        time.sleep(3)
        check(not question_shown(), "no question while the first copy runs")
    finally:
        first.stop()  # kill -9
    check(os.path.exists(manifest), "the killed program left its recovery folder")

    second = Program(folder, data_home=data_home)
    try:
        wait_for(question_shown, 20, "the recovery question")
        check(True, "the next start asks about the unsaved pages")
        run("xdotool", "key", "Return")  # Yes is the default button
        wait_for(lambda: not question_shown() and pixel(sw - 1, 38) == BACKGROUND, 10,
                 "the board after Yes")
        wait_for(lambda: page_area(sw, sh) == pages[2], 5, "page 2 shown as it was")
        check(True, "the board shows the page that was current, pixel for pixel")
        click(*turn_left)
        wait_for(lambda: page_area(sw, sh) == pages[1], 5, "page 1 as it was")
        click(*turn_right)
        click(*turn_right)
        wait_for(lambda: page_area(sw, sh) == pages[3], 5, "page 3 as it was")
        check(True, "pages 1 and 3 come back pixel for pixel")

        # A copy started by mistake ends at the single-instance check: it neither asks nor
        # touches the running copy's folder.
        time.sleep(3)  # the turns are written; the folder holds the board again
        before = sorted(os.listdir(recovery))
        third = Program(folder, data_home=data_home)
        try:
            third.process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            third.stop()
            raise AssertionError("a second copy did not end by itself")
        check(not question_shown(), "the second copy asks nothing")
        check(sorted(os.listdir(recovery)) == before, "the second copy removes nothing")

        # The exit command: back to the toolbar, leave with Yes.
        click(sw - 2 - 38 + 19, 20)
        wait_for_toolbar(sw, 10)
        click(*toolbar_button(sw, 267))
        wait_for(question_shown, 10, "the exit question")
        run("xdotool", "key", "Return")
        wait_for(lambda: not second.alive(), 10, "the program to end after Yes")
        check(not os.path.exists(recovery), "a clean exit leaves no recovery folder")
    finally:
        second.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
