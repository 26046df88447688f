"""The configuration file is there but cannot be read: here a folder has its name. On the real
program the teacher is told at once, at the start, and the program runs on; in the settings
window the teacher list holds only the default entry, and choosing it is refused with the
same message instead of going on with settings that are not the file's."""

import os
import sys
import tempfile
import time

from kvorne_e2e import Program, check, click, mapped_windows, run, screen_size, screenshot, \
    toolbar_button, wait_for, wait_for_toolbar


def message_boxes(sw):
    """Mapped windows captioned "K_Vorne" that are neither the toolbar nor the board."""
    return [w for w in mapped_windows()
            if w[5] == '"K_Vorne"' and w[3:5] not in ((343, 39), (sw, w[4]))]


def main(folder):
    sw, sh = screen_size()
    data = tempfile.TemporaryDirectory(prefix="k-vorne-data-")
    config_file = os.path.join(data.name, "K_Vorne", "drive_c", "Program files",
                               "Common files", "system", "datb.sec")
    os.makedirs(config_file)  # a folder where the file should be

    program = Program(folder, data_home=data.name)
    try:
        wait_for(lambda: message_boxes(sw), 20, "the message at the start")
        time.sleep(0.5)
        screenshot("e2e-settings-unreadable.png")
        run("xdotool", "key", "Return")
        wait_for(lambda: not message_boxes(sw), 10, "the message to close")
        wait_for_toolbar(sw, 20)
        check(program.alive(), "the program runs on after the message")

        click(*toolbar_button(sw, 0))  # the whiteboard
        time.sleep(1)
        click(sw - 724 + 608 + 19, 20)  # its settings button
        left, top = (sw - 560) // 2, (sh - 364) // 2
        wait_for(lambda: any(w[1:5] == (left, top, 560, 364) for w in mapped_windows()), 10,
                 "the settings window")
        # Said again when the window opens, while the file still cannot be read.
        wait_for(lambda: message_boxes(sw), 10, "the message as the settings window opens")
        run("xdotool", "key", "Return")
        wait_for(lambda: not message_boxes(sw), 10, "the message to close")

        # The list's first and only entry, "默认": refused with the same message.
        click(left + 60, top + 86 + 9)
        wait_for(lambda: message_boxes(sw), 10, "the message when a list entry is chosen")
        screenshot("e2e-settings-unreadable-choice.png")
        run("xdotool", "key", "Return")
        wait_for(lambda: not message_boxes(sw), 10, "the message to close")
        check(os.path.isdir(config_file), "the folder in the file's place is left alone")
        check(program.alive(), "the program runs on")
    finally:
        program.stop()
        print(program.output())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
