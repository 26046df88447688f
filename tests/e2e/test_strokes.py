"""A stroke drawn with the pointer on the real whiteboard lands in the page: it is still there
after turning to a new page and back."""

import sys
import time

from kvorne_e2e import BACKGROUND, Program, check, click, drag, open_board, pixel, screen_size, \
    screenshot, wait_for

INK = (255, 0, 0)  # the pen colour at start with no settings file: red


def main(folder):
    sw, sh = screen_size()
    program = Program(folder)
    try:
        open_board(sw, 20)

        y = sh // 2
        drag([(200 + 20 * i, y) for i in range(21)])
        time.sleep(0.3)
        check(pixel(400, y) == INK, "the stroke shows while drawing")

        command_bar = sw - 724
        click(command_bar + 578 + 14, 20)  # turn right: a new page, as page 1 has content
        wait_for(lambda: pixel(400, y) == BACKGROUND, 5, "the new, empty page 2")
        click(command_bar + 516 + 15, 20)  # and back to page 1
        wait_for(lambda: pixel(400, y) == INK, 5, "page 1 with the stroke again")
        check(True, "the stroke is kept in page 1")
        screenshot("e2e-stroke.png")
    finally:
        program.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
