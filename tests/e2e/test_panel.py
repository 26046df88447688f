"""Writing beside, under and around the text panel and the thumbnail strip on the real
whiteboard: what the board shows after the panel and the strip come and go is what its pages
hold, seen again after turning away and back."""

import os
import re
import sys
import time

from kvorne_e2e import BACKGROUND, Program, check, click, drag, open_board, pixel, run, \
    screen_size, screenshot, wait_for

INK = (255, 0, 0)  # the pen colour at start with no settings file: red
PANEL_TOP = 41
BUTTON = 22  # the panel's buttons, left to right from its left edge, 22 pixels each


class Board:
    def __init__(self, sw, sh):
        self.sw, self.sh = sw, sh
        self.commands = sw - 724  # the command bar at the title bar's right end
        self.panel_left = 0

    def command(self, left, top, width=38, height=19):
        click(self.commands + left + width // 2, top + height // 2)
        time.sleep(0.3)

    def open_panel(self):
        self.command(477, 19)

    def open_strip(self):
        self.command(477, 0)

    def turn_right(self):
        self.command(578, 0, 29, 38)

    def turn_left(self):
        self.command(516, 0, 31, 38)

    def panel_button(self, index):
        click(self.panel_left + index * BUTTON + BUTTON // 2, PANEL_TOP + 10)
        time.sleep(0.3)

    def close_strip(self):
        # The bar row's close button, the last one right of the scroll bar, page number and
        # five buttons; the bar row is shown at the strip's first opening.
        scroll_right = 2 + max(100, self.sw // 2) - 1
        left = scroll_right + 6 + 50 + 5 * 24
        click(left + 11, self.sh // 2 - 18 + 9)
        time.sleep(0.3)

    def move_panel(self, dx):
        grip = (self.panel_left + 320, PANEL_TOP + 10)  # right of the buttons on the drag bar
        run("xdotool", "mousemove", str(grip[0]), str(grip[1]))
        time.sleep(0.1)
        drag([(grip[0] + dx * i // 10, grip[1]) for i in range(11)])
        self.panel_left += dx
        time.sleep(0.3)


def stroke(x0, y0, x1, y1):
    drag([(x0 + (x1 - x0) * i // 20, y0 + (y1 - y0) * i // 20) for i in range(21)])
    time.sleep(0.3)


def dark_pixels(x, y, w, h):
    out = run("import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "-depth", "8", "txt:-")
    count = 0
    for line in out.splitlines()[1:]:
        m = re.search(r"\((\d+),(\d+),(\d+)", line)
        if m and max(int(v) for v in m.groups()) < 60:
            count += 1
    return count


def main(folder):
    sw, sh = screen_size()
    # The pages' text files live in the program folder; any left by an earlier run are set
    # aside, so that the panel starts empty, and put back afterwards.
    page_files = [os.path.join(folder, str(n)) for n in range(1, 4)]
    aside = [f for f in page_files if os.path.exists(f)]
    for f in aside:
        os.replace(f, f + ".e2e-aside")
    program = Program(folder)
    board = Board(sw, sh)
    try:
        open_board(sw, 20)

        # Written beside the open panel, then the panel back to its normal size.
        board.open_panel()
        wait_for(lambda: pixel(100, 300) != BACKGROUND, 5, "the text panel")
        stroke(650, 300, 750, 300)
        board.panel_button(1)  # normal size
        check(pixel(700, 300) == INK, "normal size keeps what was written beside the panel")

        # A stroke across the panel moved to the right, seen again after a turn.
        board.move_panel(400)
        check(pixel(200, 300) == BACKGROUND and pixel(500, 300) != BACKGROUND,
              "the panel moved right")
        stroke(100, 350, 900, 350)
        board.turn_right()
        wait_for(lambda: pixel(200, 350) == BACKGROUND, 5, "the new page 2")
        board.turn_left()
        wait_for(lambda: pixel(850, 350) == INK, 5, "page 1 again")
        check(pixel(200, 350) == INK, "a stroke across the moved panel keeps its part left of it")
        screenshot("e2e-panel-moved.png")

        # Written under the panel's place, then the panel, the strip over it (which takes the
        # panel's picture into the page), the strip closed and the panel closed.
        board.panel_button(11)  # close
        wait_for(lambda: pixel(500, 300) == BACKGROUND, 5, "the panel closed")
        stroke(450, 500, 550, 500)
        board.open_panel()
        board.open_strip()
        board.close_strip()
        board.panel_button(11)
        wait_for(lambda: pixel(700, 100) == BACKGROUND, 5, "the panel closed again")
        check(pixel(500, 500) == INK, "what lay under the panel is back after the strip")

        # Written under the open strip: once the strip is gone, what shows is kept.
        board.open_strip()
        stroke(1000, 300, 1000, sh - 100)
        board.close_strip()
        check(pixel(1000, sh - 150) == INK, "the stroke under the strip shows")
        board.turn_right()
        wait_for(lambda: pixel(1000, 300) == BACKGROUND, 5, "page 2")
        board.turn_left()
        wait_for(lambda: pixel(1000, 300) == INK, 5, "page 1 again")
        check(pixel(1000, sh - 150) == INK, "the part drawn under the strip is in the page")

        # Text typed into the panel, pinned: after a turn and back the panel has its text.
        board.open_panel()
        click(board.panel_left + 100, 300)
        run("xdotool", "type", "--delay", "50", "HH")
        time.sleep(0.3)
        text_area = (board.panel_left + 2, PANEL_TOP + 22, 200, 80)
        check(dark_pixels(*text_area) > 50, "the typed text shows")
        board.panel_button(7)  # pin
        board.turn_right()
        board.turn_left()
        wait_for(lambda: pixel(board.panel_left + 300, PANEL_TOP + 10) != BACKGROUND, 5,
                 "the panel back with page 1")
        screenshot("e2e-panel-pinned.png")
        check(dark_pixels(*text_area) > 50, "the pinned panel comes back with its text")
    finally:
        program.stop()
        for f in page_files:
            if os.path.exists(f):
                os.remove(f)
        for f in aside:
            os.replace(f + ".e2e-aside", f)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
