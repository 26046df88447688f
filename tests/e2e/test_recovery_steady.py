"""A teacher who keeps writing loses at most the last two seconds: a stroke every half second
for ten seconds, kill -9 at a random moment; the next start asks, and Yes brings back every
stroke finished more than 2.5 s before the kill."""

import random
import subprocess
import sys
import time

from kvorne_e2e import BACKGROUND, Program, check, drag, mapped_windows, open_board, pixel, run, \
    screen_size, wait_for

INK = (255, 0, 0)
QUESTION_TITLE = '"提示信息"'
STROKES = 20


def screen(sw, sh):
    """The whole screen as raw RGB bytes."""
    return subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"], check=True,
                          capture_output=True).stdout


def at(shot, sw, x, y):
    i = (y * sw + x) * 3
    return tuple(shot[i:i + 3])


def stroke_point(k):
    """A point on stroke k: strokes run side by side in two rows."""
    return 60 + 55 * (k % 10) + 20, 300 + 150 * (k // 10)


def main(folder):
    sw, sh = screen_size()
    kill_after = random.uniform(3.0, 10.0)
    print(f"kill -9 {kill_after:.2f} s after the first stroke")
    first = Program(folder)
    data_home = first.data_home
    finished = []  # when each stroke's release was sent
    try:
        open_board(sw, 20)
        start = time.monotonic()
        for k in range(STROKES):
            next_stroke = start + 0.5 * k
            if next_stroke > start + kill_after:
                break
            time.sleep(max(0.0, next_stroke - time.monotonic()))
            x, y = stroke_point(k)
            drag([(x - 20, y), (x, y), (x + 20, y)])
            finished.append(time.monotonic())
        time.sleep(max(0.0, start + kill_after - time.monotonic()))
        killed = time.monotonic()
    finally:
        first.stop()  # kill -9
    due = [k for k, t in enumerate(finished) if t <= killed - 2.5]
    print(f"{len(finished)} strokes, {len(due)} older than 2.5 s at the kill")

    second = Program(folder, data_home=data_home)
    try:
        wait_for(lambda: any(w[5] == QUESTION_TITLE for w in mapped_windows()), 20,
                 "the recovery question")
        run("xdotool", "key", "Return")  # Yes is the default button
        wait_for(lambda: pixel(sw - 1, 38) == BACKGROUND, 10, "the board after Yes")
        time.sleep(0.5)
        shot = screen(sw, sh)
        missing = [k for k in due if at(shot, sw, *stroke_point(k)) != INK]
        check(not missing, f"every stroke older than 2.5 s is back (missing: {missing})")
    finally:
        second.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
