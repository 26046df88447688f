"""The geometry instruments on the real program. On the annotation overlay a ruler rules a line
along its edge over the frozen desktop, and the overlay's undo takes it back. On the whiteboard
a ruler turned by 30 degrees rules a line whose pixels lie on its edge, undo takes the line
back, a turn of the page hides the ruler and coming back shows it; the compass, its radius set
with the pencil leg, draws a full circle whose pixels lie at that radius."""

import math
import subprocess
import sys
import time

from kvorne_e2e import Program, check, click, drag, open_board, pixel, run, screen_size, \
    screenshot, toolbar_shown, wait_for

INK = (255, 0, 0)  # the pen colour with no settings file: red, 2 pixels wide
BACKGROUND = (128, 128, 128)
SKY_BLUE = (166, 202, 240)
# Xvfb tells no physical size: the program takes the screen at 96 dots per inch.
PER_CM = 96 / 2.54
TITLE_BAR = 40


def screen_pixels(sw, sh):
    """The whole screen as bytes, 3 per pixel, row by row."""
    data = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"], check=True,
                          capture_output=True).stdout
    assert len(data) == sw * sh * 3, "a whole screen"
    return data


def ink_pixels(sw, sh):
    data = screen_pixels(sw, sh)
    found = []
    for y in range(TITLE_BAR, sh):
        row = data[y * sw * 3:(y + 1) * sw * 3]
        start = 0
        while True:
            i = row.find(bytes(INK), start)
            if i < 0:
                break
            if i % 3 == 0:
                found.append((i // 3 + 0.5, y + 0.5))  # a pixel stands for its square's middle
            start = i + 1
    return found


def along(angle):
    r = math.radians(angle)
    return math.cos(r), -math.sin(r)


def across(angle):
    r = math.radians(angle)
    return math.sin(r), math.cos(r)


def at(origin, a, b, angle):
    """The point a along and b across an instrument at `origin` turned by `angle`."""
    u, v = along(angle), across(angle)
    return (round(origin[0] + a * u[0] + b * v[0]), round(origin[1] + a * u[1] + b * v[1]))


def choose(sw, k, button=None):
    """Opens the instrument button's choices and takes the k-th (0 the ruler, 4 the compass);
    the button on the whiteboard's title bar unless another is given."""
    if button is None:
        button = sw - 724 - 80
    click(button + 19, 20)
    time.sleep(0.4)
    first = button + 38 - (6 * 38 + 2) + 1
    click(first + k * 38 + 19, 41 + 20)
    time.sleep(0.4)


def slow_drag(points):
    x, y = points[0]
    run("xdotool", "mousemove", str(x), str(y), "mousedown", "1")
    for x, y in points[1:]:
        time.sleep(0.03)
        run("xdotool", "mousemove", str(x), str(y))
    time.sleep(0.1)
    run("xdotool", "mouseup", "1")
    time.sleep(0.3)


def changed_pixels(before, after, sw, sh, top):
    """The pixels below row `top` that differ, at their middles."""
    return [(i % sw + 0.5, i // sw + 0.5) for i in range(top * sw, sw * sh)
            if before[3 * i:3 * i + 3] != after[3 * i:3 * i + 3]]


def rule_on_the_overlay(sw, sh):
    small_bar = sw - 436
    click(small_bar + 38 + 19, 20)  # the toolbar's annotation
    wait_for(lambda: pixel(small_bar + 1, 40) == SKY_BLUE, 10, "the overlay's small bar")
    time.sleep(0.5)
    # Compared below the rows where the buttons' hints show.
    top = 100
    before = screen_pixels(sw, sh)

    # The button stands left of the presenting tools' piece beside the full bar's place; the
    # ruler opens below the bars.
    choose(sw, 0, button=sw - 591 - 40 - 40 + 1)
    middle = (sw / 2, 41 + (sh - 41) / 2)
    length = math.floor(min(30 * PER_CM, 0.6 * sw) / PER_CM) * PER_CM
    width = 1.5 * PER_CM
    slow_drag([at(middle, t, -width / 2 - 4 - t / 100, 0) for t in range(-200, 101, 25)])
    click(*at(middle, -length / 2 + width / 2, 0, 0))  # the ruler closes
    time.sleep(0.5)
    ruled = changed_pixels(before, screen_pixels(sw, sh), sw, sh, top)
    edge = middle[1] - width / 2
    check(len(ruled) > 600, f"a line was ruled on the overlay ({len(ruled)} pixels)")
    # The overlay's pen is 3 pixels wide: its pixels within one pixel of the path.
    check(all(abs(y - edge) <= 2.0 and -203 <= x - middle[0] <= 103 for x, y in ruled),
          "the line lies along the ruler's edge, from where the pen went down to where it left")

    click(small_bar + 40 + 19, 20)  # the overlay's undo
    time.sleep(0.5)
    check(not changed_pixels(before, screen_pixels(sw, sh), sw, sh, top),
          "the overlay's undo takes the ruled line back")
    click(small_bar + 303 + 19, 20)  # back to the desktop
    time.sleep(1)


def main(folder):
    sw, sh = screen_size()
    middle = (sw / 2, TITLE_BAR + (sh - TITLE_BAR) / 2)
    command_bar = sw - 724
    program = Program(folder)
    try:
        wait_for(lambda: toolbar_shown(sw), 40, "the toolbar")
        rule_on_the_overlay(sw, sh)
        open_board(sw)

        # The ruler: whole centimetres, no longer than 0.6 of the screen, 1.5 cm wide.
        choose(sw, 0)
        length = math.floor(min(30 * PER_CM, 0.6 * sw) / PER_CM) * PER_CM
        width = 1.5 * PER_CM
        check(pixel(*at(middle, 0, width / 4, 0)) != BACKGROUND, "the ruler shows over the page")

        knob = length / 2 - 1.5 * width
        slow_drag([at(middle, knob * math.cos(math.radians(a)), -knob * math.sin(math.radians(a)),
                      0) for a in range(0, 31, 3)])
        # Ruled from 5 pixels outside its upper edge, along it, ending 3 pixels outside.
        slow_drag([at(middle, t, -width / 2 - 5 + t * 2 / 350, 30) for t in range(-150, 201, 25)])

        close = at(middle, -length / 2 + width / 2, 0, 30)
        click(*close)
        time.sleep(0.5)
        ink = ink_pixels(sw, sh)
        check(len(ink) > 300, f"a line was ruled ({len(ink)} pixels)")
        u, v = along(30), across(30)
        edge = (middle[0] - width / 2 * v[0], middle[1] - width / 2 * v[1])
        offsets = [(x - edge[0]) * v[0] + (y - edge[1]) * v[1] for x, y in ink]
        spans = [(x - edge[0]) * u[0] + (y - edge[1]) * u[1] for x, y in ink]
        # The pixels of a 2-pixel pen lie within half a pixel of its path, and the path within
        # one pixel of the edge.
        check(max(abs(o) for o in offsets) <= 1.5,
              f"every pixel of the line lies on the turned edge (furthest {max(map(abs, offsets)):.2f})")
        check(abs(sum(offsets) / len(offsets)) <= 1.0, "the line runs along the edge, not beside it")
        check(abs(min(spans) + 150) <= 3 and abs(max(spans) - 200) <= 3,
              f"from where the pen went down to where it left ({min(spans):.0f}..{max(spans):.0f})")
        screenshot("e2e-instruments-ruled.png")

        click(command_bar + 141 + 19, 20)  # undo
        time.sleep(0.5)
        check(not ink_pixels(sw, sh), "undo takes the ruled line back")

        # A ruler stays on its page: a turn hides it, coming back shows it.
        choose(sw, 0)
        body = at(middle, 0, width / 4, 0)
        drag([(200 + 20 * i, sh - 60) for i in range(11)])  # page 1 has content: a new page 2
        click(command_bar + 578 + 14, 20)
        wait_for(lambda: pixel(*body) == BACKGROUND, 5, "page 2 without the ruler")
        click(command_bar + 516 + 15, 20)
        wait_for(lambda: pixel(*body) != BACKGROUND, 5, "the ruler back on page 1")
        check(True, "the ruler stays on the page it was opened on")
        click(*at(middle, -length / 2 + width / 2, 0, 0))

        # The compass: the pencil leg set to 150 pixels, then turned once around by its hinge.
        choose(sw, 4)
        radius = min(4 * PER_CM, 0.3 * (sh - TITLE_BAR))
        slow_drag([at(middle, radius + (150 - radius) * k / 5, 0, 0) for k in range(6)])
        hinge = (middle[0] + 75, middle[1] - 95)
        reach = math.hypot(75, 95)
        start = math.degrees(math.atan2(95, 75))
        slow_drag([(round(middle[0] + reach * math.cos(math.radians(start + a))),
                    round(middle[1] - reach * math.sin(math.radians(start + a))))
                   for a in range(0, 375, 8)])
        click(round(hinge[0]), round(hinge[1] - 30))  # its close mark
        time.sleep(0.5)
        ink = [p for p in ink_pixels(sw, sh) if p[1] < sh - 80]
        distances = [math.hypot(x - middle[0], y - middle[1]) for x, y in ink]
        check(len(ink) > 600, f"the compass drew ({len(ink)} pixels)")
        # Half a pixel for the pen's width, one for the path.
        check(all(abs(d - 150) <= 1.5 for d in distances),
              f"every pixel of the circle lies at the radius "
              f"({min(distances):.1f}..{max(distances):.1f})")
        check(abs(sum(distances) / len(distances) - 150) <= 0.75, "the circle has the radius set")
        bins = {int(math.degrees(math.atan2(middle[1] - y, x - middle[0])) % 360) // 10
                for x, y in ink}
        check(len(bins) == 36, "the circle is whole")
        screenshot("e2e-instruments-circle.png")
    finally:
        program.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
