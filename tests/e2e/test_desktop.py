"""The real program as a teacher meets it on a classroom desktop, with or without a window
manager: the toolbar's buttons show their hints, a double click on its whiteboard button only opens the
board, and the small windows the full-screen board opens come up above it and can be used."""

import os
import subprocess
import sys
import time

from kvorne_e2e import Program, check, click, drag, mapped_windows, pixel, run, screen_size, \
    screenshot, toolbar_button, toolbar_left, wait_for

BOX_ORANGE = (255, 128, 64)
INK = (255, 0, 0)  # the pen colour at start with no settings file: red


def above(window, other, stack):
    """Whether `window` lies above `other` in the stacking order, both found by a test."""
    ids = [w[0] for w in stack]
    return window[0] in ids and other[0] in ids and ids.index(window[0]) < ids.index(other[0])


def find(test):
    return next((w for w in mapped_windows() if test(w)), None)


def main(folder):
    # An export asked for with a command line that is not whole says how it goes and ends at
    # once, with no display as well.
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "QT_QPA_PLATFORM")}
    for args in ([], ["lessons"], ["lessons", "key"], ["", "key", "out.pdf"],
                 ["lessons", "key", "out.pdf", "more"]):
        done = subprocess.run([os.path.join(folder, "K_Vorne"), "--export-pdf", *args], env=env,
                              capture_output=True, text=True, timeout=30)
        check(done.returncode == 2 and "usage: K_Vorne --export-pdf" in done.stderr,
              f"--export-pdf {args} prints the usage and fails")

    sw, sh = screen_size()
    toolbar_x = toolbar_left(sw)
    program = Program(folder)
    try:
        wait_for(lambda: find(lambda w: w[1:5] == (toolbar_x, 0, 343, 39)) is not None, 20,
                 "the toolbar")

        # A hint shows below a button the pointer rests on, also on coming back to the point
        # where it left the button.
        for button in (229, 229, 305):
            run("xdotool", "mousemove", "10", str(sh // 2))
            time.sleep(0.5)
            run("xdotool", "mousemove", str(toolbar_x + button + 19), "20")
            wait_for(lambda: find(lambda w: 20 < w[2] < 80 and w[4] < 39 and
                                  abs(w[1] - (toolbar_x + button)) < 60) is not None, 4,
                     f"the hint of the button at {button}")
        check(True, "the toolbar's buttons show their hints, again and again")

        # A double click on the whiteboard button opens the board and leaves its pen chosen:
        # a bent stroke keeps its corner, which the line tool would cut.
        run("xdotool", "mousemove", str(toolbar_x + 19), "20", "click", "--repeat", "2",
            "--delay", "120", "1")
        wait_for(lambda: find(lambda w: w[3:5] == (sw, sh)) is not None, 10, "the board")
        board = find(lambda w: w[3:5] == (sw, sh))
        time.sleep(0.5)
        drag([(300 + 20 * i, 300) for i in range(11)] + [(500, 300 + 20 * i) for i in range(11)])
        time.sleep(0.3)
        check(pixel(500, 300) == INK, "a double click on the whiteboard button arms no tool")

        # The text panel's picture button opens the library; its own pictures bring the orange
        # box from which the picture import is opened.
        click(sw - 724 + 477 + 19, 28)
        time.sleep(1)
        click(121, 51)
        time.sleep(1)
        click(95, 50)
        wait_for(lambda: find(lambda w: w[1] == 3 and w[3:5] == (130, 48)) is not None, 10,
                 "the library's settings box")
        box = find(lambda w: w[1] == 3 and w[3:5] == (130, 48))
        time.sleep(0.5)
        check(above(box, board, mapped_windows()) and pixel(box[1] + 10, box[2] + 40) ==
              BOX_ORANGE, "the library's settings box shows above the board")

        click(box[1] + 92 + 19, box[2] + 11)
        wait_for(lambda: find(lambda w: w[5] == '"导入图片"') is not None, 10,
                 "the picture import")
        time.sleep(0.5)
        importer = find(lambda w: w[5] == '"导入图片"')
        check(above(importer, board, mapped_windows()), "the picture import shows above the board")
        screenshot("e2e-desktop-import.png")
        # Its OK button takes it down again.
        click(importer[1] + 372 + 35, importer[2] + 214 + 14)
        wait_for(lambda: find(lambda w: w[5] == '"导入图片"') is None, 10,
                 "the picture import to close")
        check(True, "the picture import's OK closes it")

        # Back on the toolbar, shrunk to its square: a second copy started by a teacher who
        # cannot find the toolbar ends, and brings the toolbar back whole.
        click(sw - 724 + 684 + 19, 20)
        wait_for(lambda: find(lambda w: w[1:5] == (toolbar_x, 0, 343, 39)) is not None, 10,
                 "the toolbar again")
        click(*toolbar_button(sw, 305))
        wait_for(lambda: find(lambda w: w[3:5] == (16, 16)) is not None, 10, "the shrunk toolbar")
        second = Program(folder, data_home=program.data_home)
        second.process.wait(timeout=20)
        wait_for(lambda: find(lambda w: w[1:5] == (toolbar_x, 0, 342, 40)) is not None, 5,
                 "the toolbar brought back")
        check(second.process.returncode == 0, "a second copy ends and brings the toolbar back")
    finally:
        program.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
