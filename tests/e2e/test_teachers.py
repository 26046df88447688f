"""A configuration file made by the Windows program lies in the configuration folder. On the
real program a teacher opens the settings from the whiteboard, chooses a protected teacher,
types the password on the keypad and presses OK: the settings window shows that teacher's
colours. The teacher changes the password in the window above the settings window, and OK
stores the settings back without changing another byte of the file. The blank page on the
board takes the teacher's background, and a stroke the teacher's colour and width."""

import os
import sys
import tempfile
import time

from kvorne_e2e import Program, check, click, drag, mapped_windows, pixel, screen_size, \
    screenshot, toolbar_button, wait_for, wait_for_toolbar

# Written as the Windows program writes it: GBK text, CRLF, its order of keys. 王老师 has the
# password "12" (code 12278), green strokes (65280), a blue background (16711680) and width 7.
WINDOWS_FILE = ("[tec]\r\n"
                "mum=2\r\n"
                "te1=王老师\r\n"
                "te2=李老师\r\n"
                "te0=教师0\r\n"
                "drive=C\r\n"
                "[教师0]\r\n"
                "ce=1\r\nke=1\r\nfrn=255\r\nblk=8421504\r\nbh=2\r\n"
                "[王老师]\r\n"
                "ce=3\r\nke=20\r\nfrn=65280\r\nblk=16711680\r\nbh=7\r\nma=12278\r\n"
                "[李老师]\r\n"
                "ce=1\r\nke=1\r\nfrn=255\r\nblk=8421504\r\nbh=2\r\nma=0\r\n").encode("gbk")

GREEN = (0, 255, 0)
BLUE = (0, 0, 255)


def main(folder):
    sw, sh = screen_size()
    data = tempfile.TemporaryDirectory(prefix="k-vorne-data-")
    config_folder = os.path.join(data.name, "K_Vorne", "drive_c", "Program files",
                                 "Common files", "system")
    os.makedirs(config_folder)
    config_file = os.path.join(config_folder, "datb.sec")
    with open(config_file, "wb") as f:
        f.write(WINDOWS_FILE)

    program = Program(folder, data_home=data.name)
    try:
        wait_for_toolbar(sw, 20)
        click(*toolbar_button(sw, 0))  # the whiteboard
        time.sleep(1)
        click(sw - 724 + 608 + 19, 20)  # its settings button

        left, top = (sw - 560) // 2, (sh - 364) // 2
        wait_for(lambda: any(w[1:5] == (left, top, 560, 364) for w in mapped_windows()), 10,
                 "the settings window")
        time.sleep(0.5)
        screenshot("e2e-settings.png")

        # The list starts at (18, 86) in the window, in rows of 18 pixels; 王老师 is the second.
        click(left + 60, top + 86 + 18 + 9)
        kleft, ktop = (sw - 419) // 2, (sh - 202) // 2
        wait_for(lambda: any(w[1:5] == (kleft, ktop, 419, 202) for w in mapped_windows()), 10,
                 "the keypad")
        time.sleep(0.3)
        click(kleft + 103 + 15, ktop + 66 + 12)  # 1
        click(kleft + 151 + 15, ktop + 66 + 12)  # 2
        screenshot("e2e-keypad.png")
        click(kleft + 120 + 40, ktop + 150 + 14)  # OK
        wait_for(lambda: not any(w[1:5] == (kleft, ktop, 419, 202) for w in mapped_windows()),
                 10, "the keypad to close")
        time.sleep(0.3)
        screenshot("e2e-teacher.png")

        # The personal group shows the teacher's colours.
        stroke = (left + 216 + 15 + 18, top + 222 + 43 + 4)
        background = (left + 216 + 112 + 19, top + 222 + 28 + 19)
        wait_for(lambda: pixel(*stroke) == GREEN, 5, "the teacher's stroke colour")
        check(pixel(*background) == BLUE, "the teacher's background colour")

        # The personal password, changed in the window above the modal settings window: the
        # old password goes to the focused box, then each box takes the focus when clicked.
        click(left + 18 + 90, top + 260 + 13)
        cleft, ctop = (sw - 404) // 2, (sh - 220) // 2
        wait_for(lambda: any(w[1:5] == (cleft, ctop, 404, 220) for w in mapped_windows()), 10,
                 "the change-password window")
        time.sleep(0.3)
        click(cleft + 89 + 15, ctop + 99 + 12)  # 1
        click(cleft + 137 + 15, ctop + 99 + 12)  # 2
        click(cleft + 140 + 90, ctop + 50 + 11)  # the new password's box
        click(cleft + 185 + 15, ctop + 99 + 12)  # 3
        click(cleft + 140 + 90, ctop + 74 + 11)  # the repeat box
        click(cleft + 185 + 15, ctop + 99 + 12)  # 3
        screenshot("e2e-change-password.png")
        click(cleft + 110 + 40, ctop + 180 + 14)  # OK
        wait_for(lambda: not any(w[1:5] == (cleft, ctop, 404, 220) for w in mapped_windows()),
                 10, "the change-password window to close")

        click(left + 464 + 44, top + 330 + 14)  # OK
        wait_for(lambda: not any(w[1:5] == (left, top, 560, 364) for w in mapped_windows()), 10,
                 "the settings window to close")
        time.sleep(0.5)
        check(program.alive(), "the program runs on")
        with open(config_file, "rb") as f:
            stored = f.read()
        # "3" is 417; every other byte is as the Windows program left it.
        check(stored == WINDOWS_FILE.replace(b"ma=12278", b"ma=417"),
              "the new password code, and the same settings byte for byte")
        screenshot("e2e-after-settings.png")

        # The board's page was blank: it takes the teacher's background; the pen draws green,
        # 7 pixels wide.
        wait_for(lambda: pixel(sw - 1, 38) == BLUE, 5, "the teacher's background on the board")
        y = sh // 2
        drag([(200 + 20 * i, y) for i in range(21)])
        time.sleep(0.3)
        column = [pixel(400, y + d) for d in range(-6, 7)]
        check(column.count(GREEN) == 7, "a green stroke 7 pixels wide, not %r" % column)
    finally:
        program.stop()
        print(program.output())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
