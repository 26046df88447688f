"""Annotation on the real program: other programs' windows lie partly under the toolbar; the
overlay opened from the toolbar shows them without the toolbar, a stroke drawn with the pointer
goes with them to the whiteboard's current page, and a range cut around the toolbar's place goes
to the next page as the whiteboard's floating picture, showing what lay under the toolbar and
staying beneath the whiteboard's title bar."""

import os
import re
import subprocess
import sys
import tempfile
import time

from kvorne_e2e import BACKGROUND, SKY_BLUE, Program, check, click, drag, mapped_windows, pixel, \
    place_window, run, screen_size, screenshot, toolbar_button, toolbar_left, wait_for, \
    wait_for_toolbar

INK = (255, 128, 0)  # the overlay's pen colour at start, 33023
HELP_ORANGE = (255, 128, 64)  # 4227327
STRIPES = [(200, 30, 30), (30, 160, 60), (40, 60, 200), (220, 200, 40)]
PICTURE_W, PICTURE_H = 800, 300


def stripe(x, y):
    """The colour the picture shows at picture coordinates (x, y)."""
    return STRIPES[(x // 40 + y // 50) % 4]


def write_picture(path):
    data = bytearray()
    for y in range(PICTURE_H):
        for x in range(PICTURE_W):
            data += bytes(stripe(x, y))
    with open(path, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (PICTURE_W, PICTURE_H) + bytes(data))


def region(x, y, w, h):
    """The colours of a screen rectangle, row by row, as (r, g, b)."""
    out = run("import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "-depth", "8", "txt:-")
    pixels = {}
    for line in out.splitlines()[1:]:
        m = re.match(r"(\d+),(\d+): \((\d+),(\d+),(\d+)", line)
        if m:
            px, py, r, g, b = (int(v) for v in m.groups())
            pixels[(px, py)] = (r, g, b)
    return [[pixels.get((px, py)) for px in range(w)] for py in range(h)]


def main(folder):
    sw, sh = screen_size()
    toolbar_x = toolbar_left(sw)
    left = sw - PICTURE_W  # the picture reaches the right edge, under the whole toolbar

    def shows_picture(x, y):
        return pixel(x, y) == stripe(x - left, y)

    others = []
    program = None
    with tempfile.TemporaryDirectory() as tmp:
        try:
            # A picture the server shows by itself, and above it a message whose text its
            # program draws when the window is uncovered: a capture taken before that program
            # has repainted would miss the text.
            picture = os.path.join(tmp, "stripes.ppm")
            write_picture(picture)
            others.append(subprocess.Popen(["display", "-borderwidth", "0", "-geometry",
                                            f"+{left}+0", "-title", "stripes", picture],
                                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
            place_window("stripes", left, 0)
            wait_for(lambda: shows_picture(sw - 20, 100), 20, "the picture")
            text = "#### KVORNE #### KVORNE ####"
            others.append(subprocess.Popen(["xmessage", "-geometry", f"380x90+{sw - 430}+0",
                                            "-bg", "#30a0a0", "-fg", "#000000", "-fn", "10x20",
                                            f"{text}\n{text}"],
                                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
            place_window("xmessage", sw - 430, 0)
            wait_for(lambda: pixel(sw - 60, 80) == (48, 160, 160), 20, "the message")
            time.sleep(0.5)
            under_toolbar = region(toolbar_x, 0, 343, 39)

            program = Program(folder)
            wait_for_toolbar(sw, 20)
            wait_for(lambda: pixel(toolbar_x + 10, 0) == SKY_BLUE, 5, "the toolbar above them")

            # Annotation from the toolbar: the small bar takes the toolbar's place and the
            # overlay shows the picture as it is with the toolbar gone.
            click(*toolbar_button(sw, 38))
            wait_for(lambda: pixel(toolbar_x + 1, 40) == SKY_BLUE, 10, "the overlay's small bar")
            check(any(w[3:5] == (sw, sh) for w in mapped_windows()), "the overlay covers the screen")
            check(shows_picture(sw - 700, 100) and shows_picture(sw - 20, 45),
                  "the overlay shows the frozen picture")

            y = 150
            drag([(sw - 760 + 30 * i, y) for i in range(24)])
            time.sleep(0.3)
            check(pixel(sw - 500, y) == INK, "the stroke shows on the overlay")

            click(toolbar_x + 189 + 19, 20)  # the full bar
            bar = sw - 591
            wait_for(lambda: pixel(bar + 1, 39) == SKY_BLUE, 5, "the full bar")
            click(bar + 326 + 19, 10)  # to the current page
            time.sleep(0.3)

            # A range around the toolbar's place, stroke included, to the next page; it starts
            # left of the buttons the overlay keeps beside its full bar.
            click(bar + 288 + 19, 20)
            time.sleep(0.2)
            drag([(sw - 720, 0), (sw - 300, 100), (sw - 60, 200)])
            time.sleep(0.3)
            click(bar + 326 + 19, 30)  # to the next page: page 1 has content, so page 2
            time.sleep(0.3)
            click(bar + 400 + 19, 20)  # to the whiteboard
            wait_for(lambda: pixel(sw - 1, 38) == BACKGROUND, 10, "the whiteboard on page 2")
            time.sleep(0.3)
            screenshot("e2e-annotation-next.png")

            # The floating picture on page 2 reaches up to row 0, but the whiteboard's title
            # bar stays above it: dragged down clear of the title bar, the picture leaves the
            # title bar as it was.
            title_over_picture = region(toolbar_x, 0, 343, 40)
            drag([(sw - 300, 150), (sw - 300, 200), (sw - 300, 250)])
            time.sleep(0.3)
            screenshot("e2e-annotation-dragged.png")
            check(region(toolbar_x, 0, 343, 40) == title_over_picture,
                  "the title bar stays above the floating picture")

            # Where the toolbar was, the picture shows what the other programs showed there
            # (its top row is the selection's dotted frame).
            shown = region(toolbar_x, 100, 343, 39)
            wrong = [(toolbar_x + x, 100 + yy) for yy in range(1, 39) for x in range(343)
                     if shown[yy][x] != under_toolbar[yy][x]]
            check(not wrong, f"the toolbar's place shows what lay under it ({len(wrong)} pixels "
                             f"differ, first {wrong[:3]})")
            check(pixel(sw - 500, y + 100) == INK, "the stroke came with the range")
            check(pixel(sw - 760, y + 100) == BACKGROUND, "only the range went to page 2")

            click(200, sh - 100)  # drops the floating picture into page 2
            time.sleep(0.3)
            command_bar = sw - 724
            click(command_bar + 516 + 15, 20)  # back to page 1
            wait_for(lambda: shows_picture(sw - 700, 100), 5, "page 1 with the whole overlay")
            check(pixel(sw - 500, y) == INK and pixel(sw - 750, y) == INK,
                  "page 1 holds the stroke")
            check(shows_picture(sw - 700, 250) and shows_picture(sw - 1, 20),
                  "page 1 holds the captured picture, up to its top rows")
            screenshot("e2e-annotation.png")

            # Back to the desktop and into annotation again: help shows above the overlay and
            # gives it back; leaving brings the toolbar back.
            click(command_bar + 684 + 19, 20)
            wait_for(lambda: pixel(toolbar_x + 10, 0) == SKY_BLUE and
                     not any(w[3:5] == (sw, sh) for w in mapped_windows()), 10, "the toolbar")
            click(*toolbar_button(sw, 38))
            wait_for(lambda: pixel(toolbar_x + 1, 40) == SKY_BLUE, 10, "the overlay again")
            check(shows_picture(sw - 500, y), "the second opening shows the screen as it is now")
            click(toolbar_x + 265 + 19, 20)
            hx, hy = (sw - 792) // 2, (sh - 516) // 2
            wait_for(lambda: pixel(hx + 2, hy + 2) == HELP_ORANGE, 30, "the help window")
            time.sleep(1)
            click(hx + 353 + 40, hy + 484 + 14)
            wait_for(lambda: pixel(hx + 2, hy + 2) != HELP_ORANGE, 10,
                     "the help window to close on its button")
            check(pixel(toolbar_x + 1, 40) == SKY_BLUE, "the overlay is still open after help")
            click(toolbar_x + 303 + 19, 20)
            wait_for(lambda: pixel(toolbar_x + 10, 0) == SKY_BLUE and
                     not any(w[3:5] == (sw, sh) for w in mapped_windows()), 10,
                     "the toolbar back after leaving")
            check(True, "leaving gives the desktop and the toolbar back")
        finally:
            if program is not None:
                program.stop()
            for other in others:
                other.kill()
                other.wait()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
