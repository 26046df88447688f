#!/usr/bin/env python3
"""Idle benchmark: the CPU K_Vorne uses while nothing happens, with the board open and ten
written pages.

Usage: python3 bench/idle_cpu.py <build folder> [--seconds S] [--pages N]

With DISPLAY set it uses that X server (it should be a 1920x1080x24 Xvfb with no other clients);
without one it starts its own Xvfb. Run it by hand; no test runs it.

It starts the program, opens the board, writes a stroke on each of the pages (turning right
between them) and, once the background writing of the pages has had time to finish, reads the
scheduler's figures of each of the program's threads (/proc/PID/task/*/schedstat): the CPU
time used and the number of times the thread was put on a CPU. Nothing drives the program
during the measured span, so every wake-up counted there is the program's own periodic work.
"""

import argparse
import os
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
from startup_bench import x_session  # noqa: E402
from kvorne_e2e import BACKGROUND, Program, drag, open_board, pixel, screen_size, \
    turn_right, wait_for  # noqa: E402


def thread_figures(pid):
    """{thread id: (name, CPU seconds, times run)} of a process's threads."""
    figures = {}
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as f:
                run_ns, _, slices = (int(v) for v in f.read().split()[:3])
            with open(f"/proc/{pid}/task/{task}/comm") as f:
                name = f.read().strip()
        except (OSError, ValueError):
            continue
        figures[task] = (name, run_ns * 1e-9, slices)
    return figures


def write_pages(sw, pages):
    for page in range(1, pages + 1):
        if page > 1:
            turn_right(sw)
            wait_for(lambda: pixel(300, 300 + 30 * page) == BACKGROUND, 10, f"page {page}")
        y = 260 + 30 * page
        drag([(100 + 25 * i + 20 * page, y + (i % 3) * 9) for i in range(12)])
        time.sleep(0.2)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("build", help="the build folder (holds K_Vorne/K_Vorne)")
    parser.add_argument("--seconds", type=float, default=60.0, help="the measured idle span")
    parser.add_argument("--pages", type=int, default=10, help="pages written before it")
    parser.add_argument("--settle", type=float, default=5.0,
                        help="seconds after the last stroke before the span starts")
    args = parser.parse_args()

    folder = os.path.join(os.path.abspath(args.build), "K_Vorne")
    if not os.access(os.path.join(folder, "K_Vorne"), os.X_OK):
        raise SystemExit(f"missing {folder}/K_Vorne: build the target K_Vorne")
    program = None
    with x_session():
        try:
            sw, sh = screen_size()
            if (sw, sh) != (1920, 1080):
                print("warning: the figures are meant for a 1920x1080 screen", file=sys.stderr)
            program = Program(folder)
            open_board(sw)
            write_pages(sw, args.pages)
            time.sleep(args.settle)
            before = thread_figures(program.process.pid)
            time.sleep(args.seconds)
            after = thread_figures(program.process.pid)
            if not program.alive():
                raise SystemExit("the program ended during the measurement:\n" + program.output())

            print(f"DISPLAY={os.environ['DISPLAY']} {sw}x{sh}, board open with {args.pages} "
                  f"written pages, idle for {args.seconds:.0f} s")
            total_cpu, total_runs = 0.0, 0
            for task, (name, cpu, runs) in sorted(after.items(), key=lambda t: int(t[0])):
                cpu0, runs0 = before.get(task, (name, 0.0, 0))[1:]
                cpu, runs = cpu - cpu0, runs - runs0
                total_cpu += cpu
                total_runs += runs
                if runs:
                    print(f"  thread {task:>7} {name:16} CPU {cpu * 1000:8.2f} ms  "
                          f"woke {runs:6d} times")
            print(f"K_Vorne idle: CPU {total_cpu * 1000:.2f} ms in {args.seconds:.0f} s, "
                  f"{total_runs} wake-ups ({total_runs / args.seconds:.2f}/s)")
        finally:
            if program:
                program.stop()


if __name__ == "__main__":
    sys.exit(main())
