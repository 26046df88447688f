"""The spotlight and the shade on the real whiteboard: opened from their button on the title
bar, the spotlight darkens the page but for a circle the pen drags and leaves the title bar
alone; the shade covers the page until the pen drags it down, and the pen writes on what it
shows; each closes from its close mark with the page as it was."""

import sys
import time

from kvorne_e2e import BACKGROUND, Program, check, click, drag, open_board, pixel, run, \
    screen_size, screenshot, wait_for

INK = (255, 0, 0)
CURTAIN = (0x2E, 0x33, 0x38)
DARK = tuple(round(v * 0.2) for v in BACKGROUND)  # 80 % black over the grey page


def near(colour, expected):
    return all(abs(a - b) <= 2 for a, b in zip(colour, expected))


def open_tool(sw, downs):
    """The title bar's third free slot, left of the command bar, and a tool of its menu."""
    click(sw - 724 - 120 + 19, 20)
    time.sleep(0.5)
    run("xdotool", "key", *(["Down"] * downs), "Return")


def main(folder):
    sw, sh = screen_size()
    program = Program(folder)
    try:
        open_board(sw)
        open_tool(sw, 1)  # the spotlight
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
        screenshot("e2e-presenting.png")

        # Its close mark, up and right of the circle, closes it.
        ncx = cx + 200
        offset = radius * 707 // 1000
        click(ncx + offset + 14, cy - offset - 14)
        wait_for(lambda: pixel(*corner) == BACKGROUND, 5, "the spotlight closed")
        check(pixel(cx, cy) == BACKGROUND and pixel(cx + 100, cy) == BACKGROUND,
              "the drag drew nothing on the page")

        open_tool(sw, 2)  # the shade
        wait_for(lambda: pixel(*corner) == CURTAIN, 10, "the curtain over the page")
        drag([(600, 400 + 20 * i) for i in range(11)])
        wait_for(lambda: pixel(60, 200) == BACKGROUND, 5, "the page shown above the curtain")
        check(pixel(60, 300) == CURTAIN, "the curtain's top followed the pen down")
        drag([(100 + 20 * i, 150) for i in range(11)])
        wait_for(lambda: pixel(200, 150) == INK, 5, "a stroke on the shown part of the page")
        click(sw - 4 - 28 + 14, 240 + 4 + 14)  # the curtain's close mark, top right
        wait_for(lambda: pixel(*corner) == BACKGROUND, 5, "the shade closed")
        check(pixel(600, 500) == BACKGROUND, "dragging the curtain drew nothing")
    finally:
        program.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
