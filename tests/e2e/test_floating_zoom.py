"""The floating picture's zoom on the real program, on the whiteboard and on the annotation
overlay alike: a range selected and enlarged shows its pixels one and a half times as large,
reduced again it is as it was, and where the picture no longer lies the window shows what is
beneath it again."""

import sys
import time

from kvorne_e2e import BACKGROUND, Program, check, click, drag, open_board, pixel, screen_size, \
    screenshot, wait_for

INK = (255, 0, 0)  # the board's pen colour at start with no settings file: red
SKY_BLUE = (166, 202, 240)


def row_has(colour, x, top, bottom):
    return any(pixel(x, y) == colour for y in range(top, bottom + 1))


def main(folder):
    sw, sh = screen_size()
    program = Program(folder)
    try:
        open_board(sw)
        command_bar = sw - 724
        # A stroke at row 300 from x 300 to 500, then a range from (250, 250) to (550, 350).
        drag([(300 + 20 * i, 300) for i in range(11)])
        time.sleep(0.3)
        click(command_bar + 401 + 19, 20)  # range selection
        time.sleep(0.2)
        drag([(250, 250), (400, 300), (550, 350)])
        time.sleep(0.3)
        click(command_bar + 439 + 19, 9)  # enlarge: 450 x 150 at (250, 250)
        # The stroke was at the selection's row 50, x 50..250: now row 75, x 75..375.
        wait_for(lambda: row_has(INK, 550, 320, 330), 5,
                 "the enlarged picture showing the stroke 1.5 times on")
        screenshot("e2e-floating-zoom-board.png")
        click(command_bar + 439 + 19, 29)  # reduce: back to 300 x 100
        wait_for(lambda: row_has(INK, 450, 296, 304), 5, "the stroke where it was, reduced again")
        screenshot("e2e-floating-zoom-board-reduced.png")
        check(not row_has(INK, 550, 320, 330) and pixel(650, 380) == BACKGROUND,
              "where the enlarged picture lay, the page shows again")

        # The overlay: the board's page as the desktop shows it is what it annotates.
        click(command_bar + 684 + 19, 20)  # back to the desktop
        wait_for(lambda: pixel(sw - 436 + 10, 0) == SKY_BLUE, 10, "the toolbar")
        click(sw - 436 + 38 + 19, 20)
        wait_for(lambda: pixel(sw - 436 + 1, 40) == SKY_BLUE, 10, "the overlay's small bar")
        y = 500
        drag([(300 + 20 * i, y) for i in range(11)])  # the overlay's orange pen
        time.sleep(0.3)
        ink = pixel(400, y)
        check(ink != pixel(400, y + 30), "the stroke shows on the overlay")
        click(sw - 436 + 189 + 19, 20)  # the full bar
        bar = sw - 591
        wait_for(lambda: pixel(bar + 1, 39) == SKY_BLUE, 5, "the full bar")
        click(bar + 288 + 19, 20)  # range
        time.sleep(0.2)
        drag([(250, 450), (400, 500), (550, 550)])
        time.sleep(0.3)
        click(bar + 364 + 19, 10)  # enlarge
        wait_for(lambda: row_has(ink, 550, y + 20, y + 30), 5,
                 "the overlay's picture showing the stroke 1.5 times on")
        screenshot("e2e-floating-zoom-overlay.png")
        click(bar + 364 + 19, 30)  # reduce
        wait_for(lambda: row_has(ink, 450, y - 4, y + 4), 5, "the overlay's stroke reduced again")
        check(not row_has(ink, 550, y + 20, y + 30),
              "reduced again it is as it was, and the overlay shows what lay beneath")
        click(bar + 552 + 19, 20)  # leave
        wait_for(lambda: pixel(sw - 436 + 10, 0) == SKY_BLUE, 10, "the toolbar back")
    finally:
        program.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
