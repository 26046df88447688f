"""The real whiteboard's keys and history: undo and redo by key and by button, a presenter
remote's Page Down / Page Up turning and its "." blanking and giving the projection back, and
typing in the text panel's editor typing, not blanking."""

import os
import sys
import time

from kvorne_e2e import Program, check, click, drag, open_board, pixel, run, screen_size, \
    screenshot, wait_for

INK = (255, 0, 0)  # the pen colour at start with no settings file: red
BACKGROUND = (128, 128, 128)  # the background with no settings file: grey
BLACK = (0, 0, 0)


def key(name):
    run("xdotool", "key", name)


def dark_pixels(x, y, w, h):
    out = run("import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "-depth", "8", "txt:-")
    return sum(1 for line in out.splitlines()[1:]
               if (m := line.split("(", 1)[-1].split(")")[0].split(","))
               and len(m) >= 3 and max(float(v) for v in m[:3]) < 60)


def main(folder):
    sw, sh = screen_size()
    # The panel's text files of a run before are set aside, so that the editor starts empty.
    page_files = [os.path.join(folder, str(n)) for n in range(1, 3)]
    aside = [f for f in page_files if os.path.exists(f)]
    for f in aside:
        os.replace(f, f + ".e2e-aside")
    program = Program(folder)
    command_bar = sw - 724
    try:
        open_board(sw)
        y = sh // 2
        drag([(200 + 20 * i, y) for i in range(21)])
        wait_for(lambda: pixel(400, y) == INK, 5, "the stroke")

        key("ctrl+z")
        wait_for(lambda: pixel(400, y) == BACKGROUND, 5, "the stroke undone by Ctrl+Z")
        key("ctrl+y")
        wait_for(lambda: pixel(400, y) == INK, 5, "the stroke redone by Ctrl+Y")
        click(command_bar + 141 + 19, 20)  # 撤销
        wait_for(lambda: pixel(400, y) == BACKGROUND, 5, "the stroke undone by the button")
        click(command_bar - 40 + 19, 20)  # 重做, left of the command bar
        wait_for(lambda: pixel(400, y) == INK, 5, "the stroke redone by the redo button")

        key("Next")  # Page Down: a new page, as page 1 has content
        wait_for(lambda: pixel(400, y) == BACKGROUND, 5, "page 2 after Page Down")
        key("Prior")
        wait_for(lambda: pixel(400, y) == INK, 5, "page 1 after Page Up")

        key("period")
        wait_for(lambda: pixel(sw // 2, y) == BLACK and pixel(sw - 1, 38) == BLACK, 5,
                 "the projection blanked by '.'")
        screenshot("e2e-keys-blanked.png")
        key("period")
        wait_for(lambda: pixel(400, y) == INK, 5, "the projection back after '.' again")

        # The editor types what the keys type; the board neither blanks nor turns.
        click(command_bar + 477 + 19, 29)  # 导入: the text panel at (0, 41)
        time.sleep(0.5)
        click(150, 200)
        time.sleep(0.3)
        area = (20, 80, 300, 120)
        before = dark_pixels(*area)
        run("xdotool", "type", "--delay", "40", "b.b. B.")
        key("space")
        time.sleep(0.5)
        screenshot("e2e-keys-typed.png")
        check(pixel(sw - 50, sh - 50) == BACKGROUND, "typing in the editor does not blank")
        check(pixel(sw - 1, 38) == BACKGROUND, "typing in the editor keeps the board shown")
        check(dark_pixels(*area) > before + 20, "the keys typed into the editor")
    finally:
        program.stop()
        for f in aside:
            os.replace(f + ".e2e-aside", f)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
