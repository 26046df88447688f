"""The spotlight on the real whiteboard: opened from its button on the title bar, it darkens
the page but for a circle the pen drags, leaves the title bar alone, and closes from its close
mark with the page as it was."""

import sys
import time

from kvorne_e2e import BACKGROUND, Program, check, click, drag, open_board, pixel, run, \
    screen_size, screenshot, wait_for

DARK = tuple(round(v * 0.2) for v in BACKGROUND)  # 80 % black over the grey page


def near(colour, expected):
    return all(abs(a - b) <= 2 for a, b in zip(colour, expected))


def main(folder):
    sw, sh = screen_size()
    program = Program(folder)
    try:
        open_board(sw)
        # The title bar's third free slot, left of the command bar.
        click(sw - 724 - 120 + 19, 20)
        time.sleep(0.5)
        run("xdotool", "key", "Down", "Return")  # the menu's first tool: the spotlight
        corner = (60, sh - 60)
        wait_for(lambda: near(pixel(*corner), DARK), 10, "the page darkened")
        # The circle in the middle of the page below the title bar.
        top, height = 40, sh - 40
        cx, cy = (sw - 1) // 2, top + (height - 1) // 2
        radius = min(sw, height) // 6
        check(pixel(cx, cy) == BACKGROUND, "the circle shows the page as it is")
        check(pixel(sw - 1, 38) == BACKGROUND, "the title bar's column is not darkened")

        # Dragged with the pen: the circle follows, where it was is dark.
        drag([(cx + 10 * i, cy) for i in range(0, 21)])
        wait_for(lambda: pixel(cx + 200, cy) == BACKGROUND, 5, "the circle moved right")
        check(near(pixel(cx - radius + 20, cy), DARK), "where the circle was is dark")
        screenshot("e2e-spotlight.png")

        # Its close mark, up and right of the circle, closes it.
        ncx = cx + 200
        offset = radius * 707 // 1000
        click(ncx + offset + 14, cy - offset - 14)
        wait_for(lambda: pixel(*corner) == BACKGROUND, 5, "the spotlight closed")
        check(pixel(cx, cy) == BACKGROUND and pixel(cx + 100, cy) == BACKGROUND,
              "the drag drew nothing on the page")
    finally:
        program.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
