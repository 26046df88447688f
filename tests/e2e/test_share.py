"""Lessons on a school's share with the real program and a real Samba server (started here on
the loopback, as root): room 101 saves a lesson to drive S, room 204 (a program with a data
folder of its own) opens it; then the server stops answering in the middle of room 204's save:
the board goes on taking strokes, the teacher is told within the time limit and keeps the
lesson on drive C, and once the server answers again the lesson is copied to it."""

import os
import subprocess
import sys
import tempfile
import time

from kvorne_e2e import Program, check, click, drag, mapped_windows, pixel, run, screen_size, \
    screenshot, wait_for

INK = (255, 0, 0)
BACKGROUND = (128, 128, 128)
TIMEOUT = 3
PASSWORD = "kv-e2e-Pw1"
SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support",
                      "samba_server.sh")


def server(command, folder, *more):
    subprocess.run(["bash", SCRIPT, command, folder, *more], check=True, timeout=60)


def free_port():
    import socket
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def settings_window(sw, sh):
    left, top = (sw - 560) // 2, (sh - 364) // 2
    return left, top, lambda: any(w[1:5] == (left, top, 560, 364) for w in mapped_windows())


def open_board(sw):
    wait_for(lambda: any(w[1:5] == (sw - 436, 0, 343, 39) for w in mapped_windows()), 20,
             "the toolbar")
    click(sw - 436 + 19, 20)
    wait_for(lambda: pixel(sw - 1, 38) == BACKGROUND, 10, "the whiteboard")


def choose_teacher_1_on_s(sw, sh):
    click(sw - 724 + 608 + 19, 20)  # the board's settings button
    left, top, shown = settings_window(sw, sh)
    wait_for(shown, 10, "the settings window")
    time.sleep(0.5)
    click(left + 60, top + 86 + 18 + 9)  # 教师1
    time.sleep(0.5)
    # The drive list: drive C, then the share, last.
    click(left + 216 + 194 + 65, top + 6 + 66 + 12)
    time.sleep(0.5)
    run("xdotool", "key", "End", "Return")
    time.sleep(1)
    return left, top, shown


def box(title):
    return any(w[5] == title and w[4] < 400 and w[4] != 39 for w in mapped_windows())


def answer(title, key, what):
    wait_for(lambda: box(title), 20, what)
    run("xdotool", "key", key)
    wait_for(lambda: not box(title), 10, "the box to close")


def main(folder):
    if os.geteuid() != 0 or not os.path.exists("/usr/sbin/smbd"):
        print("skipped: needs root and Samba's smbd")
        return 0
    sw, sh = screen_size()
    work = tempfile.TemporaryDirectory(prefix="k-vorne-share-")
    samba = os.path.join(work.name, "server")
    port = free_port()
    server("start", samba, str(port), PASSWORD)
    config = os.path.join(work.name, "config", "k-vorne")
    os.makedirs(config)
    with open(os.path.join(config, "school-share.ini"), "w", encoding="utf-8") as f:
        f.write(f"Address=smb://127.0.0.1:{port}/kvtest/school\nAccount=root\nLetter=S\n"
                f"Name=教研室\nTimeout={TIMEOUT}\n")
    password = os.path.join(config, "school-share.password")
    with open(os.open(password, os.O_WRONLY | os.O_CREAT, 0o600), "w") as f:
        f.write(PASSWORD + "\n")
    os.makedirs(os.path.join(samba, "share", "school"))
    os.environ["XDG_CONFIG_HOME"] = os.path.dirname(config)
    on_server = os.path.join(samba, "share", "school", "Program files", "K_Vorne", "data")
    y = sh // 2
    try:
        # Room 101 writes and saves to drive S.
        room101 = Program(folder, data_home=os.path.join(work.name, "room101"))
        try:
            open_board(sw)
            drag([(200 + 20 * i, y) for i in range(21)])
            time.sleep(0.3)
            check(pixel(400, y) == INK, "the stroke on room 101's board")
            left, top, shown = choose_teacher_1_on_s(sw, sh)
            screenshot("e2e-share-drive-list.png")
            click(left + 508, top + 137)  # save
            answer('"K_Vorne"', "Return", "the note that the lesson was saved")
            with open(os.path.join(on_server, "datb.sec"), "rb") as f:
                check(b"pag=1" in f.read(), "the share's index names the lesson's one page")
            check(os.path.exists(os.path.join(on_server, "教师1111.pte")), "page 1 on the share")
        finally:
            room101.stop()

        # Room 204 opens it.
        room204 = Program(folder, data_home=os.path.join(work.name, "room204"))
        try:
            open_board(sw)
            check(pixel(400, y) == BACKGROUND, "room 204 starts with an empty page")
            left, top, shown = choose_teacher_1_on_s(sw, sh)
            click(left + 440, top + 137)  # open
            wait_for(lambda: pixel(400, y) == INK, 30, "room 101's stroke on room 204's board")
            check(True, "the lesson saved in room 101 opens in room 204")

            # The server stops answering while room 204 saves.
            server("pause", samba)
            left, top, shown = choose_teacher_1_on_s(sw, sh)
            click(left + 508, top + 137)  # save
            started = time.monotonic()
            time.sleep(0.5)
            y2 = sh // 4
            drag([(200 + 20 * i, y2) for i in range(21)])
            wait_for(lambda: pixel(400, y2) == INK, 5, "a stroke while the share is silent")
            check(True, "the board takes strokes while the share does not answer")
            wait_for(lambda: box('"提示信息"'), TIMEOUT + 5, "the question after the silence")
            waited = time.monotonic() - started
            check(waited < TIMEOUT + 3, f"the teacher is told within the time limit ({waited:.1f} s)")
            screenshot("e2e-share-unreachable.png")
            run("xdotool", "key", "Return")  # keep it on drive C
            answer('"K_Vorne"', "Return", "the note that the lesson is on drive C")
            on_c = os.path.join(work.name, "room204", "K_Vorne", "drive_c", "Program files",
                                "K_Vorne", "data", "教师1111.pte")
            check(os.path.exists(on_c), "the lesson kept on drive C")

            # The server answers again: the next opening offers to copy the lesson over.
            server("resume", samba)
            left, top, shown = choose_teacher_1_on_s(sw, sh)
            click(left + 440, top + 137)  # open
            answer('"提示信息"', "Return", "the offer to copy the lesson to the share")
            answer('"K_Vorne"', "Return", "the note that it was copied")
            with open(on_c, "rb") as here, \
                    open(os.path.join(on_server, "教师1111.pte"), "rb") as there:
                check(here.read() == there.read(), "the share holds the lesson kept on drive C")
        finally:
            room204.stop()
    finally:
        server("stop", samba)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
