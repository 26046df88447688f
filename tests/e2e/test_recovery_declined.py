"""No to the recovery question is a clean start: after a run with a text on page 1 is killed,
No removes that text's file from the program folder, and page 1's text panel opens empty."""

import os
import subprocess
import sys
import time

from kvorne_e2e import BACKGROUND, Program, check, click, drag, mapped_windows, pixel, run, \
    screen_size, toolbar_button, toolbar_left, wait_for

QUESTION_TITLE = '"提示信息"'


def editor_colours():
    """How many colours the panel's editor shows below its tool bar: one when it is empty."""
    rgb = subprocess.run(["import", "-window", "root", "-crop", "340x200+10+70", "-depth", "8",
                          "rgb:-"], check=True, capture_output=True).stdout
    return len({rgb[i:i + 3] for i in range(0, len(rgb), 3)})


def main(folder):
    sw, sh = screen_size()
    command_bar = sw - 724
    open_panel = (command_bar + 477 + 19, 29)
    turn_right = (command_bar + 578 + 14, 20)
    toolbar = (toolbar_left(sw), 0, 343, 39)
    page_text = os.path.join(folder, "1")
    first = Program(folder)
    data_home = first.data_home
    manifest = os.path.join(data_home, "K_Vorne", "recovery", "manifest.json")
    try:
        wait_for(lambda: any(w[1:5] == toolbar for w in mapped_windows()), 20, "the toolbar")
        click(*toolbar_button(sw, 0))
        wait_for(lambda: pixel(sw - 1, 38) == BACKGROUND, 10, "the whiteboard")
        click(*open_panel)
        time.sleep(0.5)
        click(150, 200)  # into the editor
        run("xdotool", "type", "--delay", "50", "force")
        wait_for(lambda: editor_colours() > 1, 5, "the text typed into the panel")
        click(*turn_right)  # leaving the page writes its text
        wait_for(lambda: os.path.exists(page_text), 5, "page 1's text file")
        drag([(600 + 10 * i, 500) for i in range(10)])
        wait_for(lambda: os.path.exists(manifest), 10, "the recovery folder")
    finally:
        first.stop()  # kill -9
    check(os.path.exists(page_text), "the killed run left page 1's text in the program folder")

    second = Program(folder, data_home=data_home)
    try:
        wait_for(lambda: any(w[5] == QUESTION_TITLE for w in mapped_windows()), 20,
                 "the recovery question")
        run("xdotool", "key", "Escape")  # No
        wait_for(lambda: any(w[1:5] == toolbar for w in mapped_windows()), 10, "the toolbar")
        check(not os.path.exists(page_text), "No removes the page texts the killed run left")
        check(not os.path.exists(os.path.dirname(manifest)), "No removes the recovery folder")
        click(*toolbar_button(sw, 0))
        wait_for(lambda: pixel(sw - 1, 38) == BACKGROUND, 10, "the whiteboard")
        click(*open_panel)
        time.sleep(1)
        check(editor_colours() == 1, "page 1's text panel opens empty")
    finally:
        second.stop()
        for n in range(1, 100):  # what a failed run leaves in the program folder
            if os.path.isfile(os.path.join(folder, str(n))):
                os.remove(os.path.join(folder, str(n)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
