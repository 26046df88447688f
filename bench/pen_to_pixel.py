#!/usr/bin/env python3
"""Pen to pixel: starts an Xvfb of each size asked for (1920x1080 and 3840x2160 unless told),
K_Vorne from a program folder on it with a data folder of its own, opens the board, and runs
pen_to_pixel_probe, which times each pen move from the X server's motion to the changed pixel
in the framebuffer. Run it by hand on a quiet machine; no test runs it.

    python3 bench/pen_to_pixel.py BUILD [--sizes 3840x2160 ...] [--moves 300] [--exact]

The default teacher draws smooth ink; with --exact the data folder's settings file turns it off,
for the exact aliased pen.
"""

import argparse
import os
import subprocess
import sys
import tempfile
import time


def pixel(x, y, env):
    out = subprocess.run(["import", "-window", "root", "-crop", f"1x1+{x}+{y}", "-depth", "8",
                          "txt:-"], env=env, capture_output=True, text=True).stdout
    line = out.splitlines()[1] if len(out.splitlines()) > 1 else ""
    return line.split("(", 1)[-1].split(")")[0]


def start_xvfb(w, h, first):
    """An Xvfb on the first free display number from `first` on, and its number."""
    for n in range(first, first + 50):
        if os.path.exists(f"/tmp/.X11-unix/X{n}") or os.path.exists(f"/tmp/.X{n}-lock"):
            continue
        xvfb = subprocess.Popen(["Xvfb", f":{n}", "-screen", "0", f"{w}x{h}x24", "-nolisten",
                                 "tcp"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(50):
            if os.path.exists(f"/tmp/.X11-unix/X{n}"):
                return xvfb, n
            time.sleep(0.1)
        xvfb.kill()
        xvfb.wait()
    raise RuntimeError("could not start Xvfb")


def turn_smooth_ink_off(data_home):
    folder = os.path.join(data_home, "K_Vorne", "drive_c", "Program files", "Common files",
                          "system")
    os.makedirs(folder)
    with open(os.path.join(folder, "datb.sec"), "w", encoding="utf-8") as f:
        f.write("[教师0]\r\nsmooth=0\r\n")


def measure(build, size, moves, first_display, exact):
    w, h = (int(v) for v in size.split("x"))
    xvfb, display = start_xvfb(w, h, first_display)
    env = dict(os.environ, DISPLAY=f":{display}")
    data = tempfile.TemporaryDirectory(prefix="k-vorne-probe-")
    program = None
    try:
        if exact:
            turn_smooth_ink_off(data.name)
        program = subprocess.Popen(["./K_Vorne"], cwd=os.path.join(build, "K_Vorne"),
                                   env=dict(env, XDG_DATA_HOME=data.name),
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        end = time.monotonic() + 60
        while time.monotonic() < end:
            subprocess.run(["xdotool", "mousemove", str(w - 436 + 19), "20", "click", "1"],
                           env=env)
            time.sleep(2.0)
            if pixel(w - 1, 38, env).startswith("128,128,128"):
                break
        else:
            print(f"{size}: the board did not open", file=sys.stderr)
            return False
        time.sleep(1.0)
        probe = os.path.join(build, "bench", "pen_to_pixel_probe")
        result = subprocess.run([probe, str(moves)], env=env, capture_output=True, text=True)
        sys.stdout.write(result.stdout)
        sys.stderr.write(result.stderr)
        return result.returncode == 0
    finally:
        if program is not None:
            program.kill()
            program.wait()
        xvfb.kill()
        xvfb.wait()
        data.cleanup()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--sizes", nargs="+", default=["1920x1080", "3840x2160"])
    parser.add_argument("--moves", type=int, default=300)
    parser.add_argument("--display", type=int, default=150)
    parser.add_argument("--exact", action="store_true")
    args = parser.parse_args()
    ok = all([measure(args.build, s, args.moves, args.display, args.exact) for s in args.sizes])
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
