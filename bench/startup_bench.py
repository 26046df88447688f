#!/usr/bin/env python3
"""Start-up benchmark: time from starting K_Vorne to its toolbar being mapped, and its memory,
beside the same figures for bench/minimal_window (a bare Qt window of the toolbar's size).

Usage: python3 bench/startup_bench.py <build folder> [--runs N] [--settle S]

With DISPLAY set it uses that X server (it should be a 1920x1080x24 Xvfb with no other clients);
without one it starts its own Xvfb. Run it by hand; no test runs it.

The clock starts just before the process is created and stops when the X server reports the
MapNotify of the first top-level window of 343x39 owned by that process (_NET_WM_PID). The
script listens for that event on its own X connection (SubstructureNotify on the root window,
spoken with the standard library), so nothing polls and nothing takes CPU from the program
measured: the stop is late by the time to wake this process, about 0.3 ms (MapWindow sent to
MapNotify received, measured on the development machines). Polling would not do:
`xdotool search --sync` retries every half second, and one run of xwininfo or xdotool takes
about 100 ms there.

Beside the time it reports the CPU time the program's threads had used when the window mapped
(/proc/PID/task/*/schedstat), which varies less than the time when the machine is busy.
"""

import argparse
import contextlib
import os
import select
import shutil
import signal
import socket
import statistics
import struct
import subprocess
import sys
import tempfile
import time

TOOLBAR_SIZE = (343, 39)
SCREEN = "1920x1080x24"
RSS_TARGET_MB = 60.0
RATIO_TARGET = 1.5

# X11 core protocol numbers used here.
CREATE_NOTIFY, DESTROY_NOTIFY, UNMAP_NOTIFY, MAP_NOTIFY, CONFIGURE_NOTIFY = 16, 17, 18, 19, 22
CW_EVENT_MASK = 1 << 11
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
OP_CHANGE_WINDOW_ATTRIBUTES, OP_GET_PROPERTY, OP_INTERN_ATOM = 2, 20, 16
ATOM_CARDINAL = 6


def pad4(n):
    return (4 - n % 4) % 4


def xauth_cookie(display_number):
    """The MIT-MAGIC-COOKIE-1 for a local display from the Xauthority file, or None."""
    path = os.environ.get("XAUTHORITY") or os.path.expanduser("~/.Xauthority")
    try:
        data = open(path, "rb").read()
    except OSError:
        return None
    host = socket.gethostname().encode()
    pos = 0

    def field():
        nonlocal pos
        (n,) = struct.unpack_from(">H", data, pos)
        value = data[pos + 2:pos + 2 + n]
        pos += 2 + n
        return value

    while pos + 2 <= len(data):
        (family,) = struct.unpack_from(">H", data, pos)
        pos += 2
        address, number, name, cookie = field(), field(), field(), field()
        local = family == 65535 or (family == 256 and address == host)
        if local and number in (b"", str(display_number).encode()) and \
                name == b"MIT-MAGIC-COOKIE-1":
            return cookie
    return None


class XConnection:
    """Just enough of the X11 protocol to watch top-level windows being created and mapped."""

    def __init__(self, display):
        number = int(display.split(":")[1].split(".")[0])
        if display.split(":")[0] not in ("", "unix"):
            raise SystemExit(f"DISPLAY={display}: only a local X server is supported")
        self.buffer = b""
        self.events = []
        self.sequence = 0
        self.sizes = {}
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect(f"/tmp/.X11-unix/X{number}")
        cookie = xauth_cookie(number)
        name = b"MIT-MAGIC-COOKIE-1" if cookie else b""
        cookie = cookie or b""
        self.sock.sendall(struct.pack("<BxHHHHxx", 0x6C, 11, 0, len(name), len(cookie)) +
                          name + b"\0" * pad4(len(name)) + cookie + b"\0" * pad4(len(cookie)))
        head = self._read(8)
        more = self._read(struct.unpack_from("<H", head, 6)[0] * 4)
        if head[0] != 1:
            reason = more.decode(errors="replace")
            raise SystemExit(f"the X server refused the connection: {reason}")
        vendor_len, _, _, formats = struct.unpack_from("<HHBB", more, 16)
        screen = 32 + vendor_len + pad4(vendor_len) + 8 * formats
        self.root = struct.unpack_from("<I", more, screen)[0]
        self.screen_size = struct.unpack_from("<HH", more, screen + 20)
        self._request(OP_CHANGE_WINDOW_ATTRIBUTES, 0,
                      struct.pack("<III", self.root, CW_EVENT_MASK, SUBSTRUCTURE_NOTIFY_MASK))
        self.pid_atom = self._intern_atom(b"_NET_WM_PID")

    def _read(self, n):
        while len(self.buffer) < n:
            chunk = self.sock.recv(65536)
            if not chunk:
                raise SystemExit("the X server closed the connection")
            self.buffer += chunk
        out, self.buffer = self.buffer[:n], self.buffer[n:]
        return out

    def _request(self, opcode, data, body):
        self.sequence = (self.sequence + 1) & 0xFFFF
        self.sock.sendall(struct.pack("<BBH", opcode, data, 1 + len(body) // 4) + body)
        return self.sequence

    def _reply(self, sequence):
        """The reply to a request; events that arrive before it are queued with their times."""
        while True:
            packet = self._read(32)
            code = packet[0] & 0x7F
            if code == 0:
                raise SystemExit(f"X error {packet[1]} for request {packet[10]}")
            if code == 1:
                extra = self._read(struct.unpack_from("<I", packet, 4)[0] * 4)
                if struct.unpack_from("<H", packet, 2)[0] == sequence:
                    return packet + extra
                continue
            self.events.append((time.perf_counter(), packet))

    def _intern_atom(self, name):
        body = struct.pack("<HH", len(name), 0) + name + b"\0" * pad4(len(name))
        return struct.unpack_from("<I", self._reply(self._request(OP_INTERN_ATOM, 0, body)), 8)[0]

    def window_pid(self, window):
        body = struct.pack("<IIIII", window, self.pid_atom, ATOM_CARDINAL, 0, 1)
        reply = self._reply(self._request(OP_GET_PROPERTY, 0, body))
        fmt, count = reply[1], struct.unpack_from("<I", reply, 16)[0]
        return struct.unpack_from("<I", reply, 32)[0] if fmt == 32 and count else None

    def next_event(self, deadline):
        """(time received, event packet), or None at the deadline."""
        while not self.events:
            if len(self.buffer) >= 32:
                self.events.append((time.perf_counter(), self._read(32)))
                break
            left = deadline - time.perf_counter()
            if left <= 0 or not select.select([self.sock], [], [], left)[0]:
                return None
            chunk = self.sock.recv(65536)
            if not chunk:
                raise SystemExit("the X server closed the connection")
            now = time.perf_counter()
            self.buffer += chunk
            while len(self.buffer) >= 32:
                self.events.append((now, self._read(32)))
        return self.events.pop(0)

    def track(self, packet):
        """Keeps the sizes of top-level windows; returns (kind, window)."""
        code = packet[0] & 0x7F
        if code == CREATE_NOTIFY:
            window, _, _, w, h = struct.unpack_from("<IhhHH", packet, 8)
            self.sizes[window] = (w, h)
        elif code == CONFIGURE_NOTIFY:
            window, _, _, _, w, h = struct.unpack_from("<IIhhHH", packet, 8)
            self.sizes[window] = (w, h)
        elif code in (MAP_NOTIFY, UNMAP_NOTIFY, DESTROY_NOTIFY):
            window = struct.unpack_from("<I", packet, 8)[0]
            if code == DESTROY_NOTIFY:
                self.sizes.pop(window, None)
        else:
            return code, None
        return code, window

    def drain(self):
        while self.next_event(time.perf_counter()):
            pass


def wait_for_mapped(x, pid, size, timeout):
    """The time the process's first top-level window of `size` was mapped, and that window."""
    deadline = time.perf_counter() + timeout
    while True:
        item = x.next_event(deadline)
        if item is None:
            return None, None
        when, packet = item
        code, window = x.track(packet)
        if code == MAP_NOTIFY and x.sizes.get(window) == size and x.window_pid(window) == pid:
            return when, window


def wait_for_destroyed(x, window, timeout=5.0):
    deadline = time.perf_counter() + timeout
    while True:
        item = x.next_event(deadline)
        if item is None:
            return
        code, w = x.track(item[1])
        if code == DESTROY_NOTIFY and w == window:
            return


def cpu_seconds(pid):
    """CPU time the process's threads have run so far, from the scheduler's nanosecond counts."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as f:
                total += int(f.read().split()[0])
        except (OSError, ValueError, IndexError):
            pass
    return total * 1e-9


def memory_kb(pid):
    """(VmRSS, Pss) of a process in kB."""
    def value(path, key):
        with open(path) as f:
            for line in f:
                if line.startswith(key + ":"):
                    return int(line.split()[1])
        return 0

    return value(f"/proc/{pid}/status", "VmRSS"), value(f"/proc/{pid}/smaps_rollup", "Pss")


def run_once(x, argv, cwd, env, settle):
    """(seconds to the mapped window, CPU seconds by then, VmRSS kB, Pss kB) of one start."""
    x.drain()
    start = time.perf_counter()
    process = subprocess.Popen(argv, cwd=cwd, env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.PIPE)
    try:
        mapped, window = wait_for_mapped(x, process.pid, TOOLBAR_SIZE, timeout=30.0)
        if mapped is None:
            process.kill()
            err = process.communicate()[1].decode(errors="replace")
            raise SystemExit(f"{argv[0]} showed no {TOOLBAR_SIZE[0]}x{TOOLBAR_SIZE[1]} window "
                             f"(exit status {process.returncode}):\n{err}")
        cpu = cpu_seconds(process.pid)
        time.sleep(settle)
        rss, pss = memory_kb(process.pid)
    finally:
        if process.poll() is None:
            process.kill()
        process.wait()
    # A second copy of K_Vorne ends at once while the first one's windows still exist.
    wait_for_destroyed(x, window)
    return mapped - start, cpu, rss, pss


def start_xvfb():
    if not shutil.which("Xvfb"):
        raise SystemExit("no DISPLAY and no Xvfb (apt-get install xvfb)")
    for n in range(90, 140):
        if os.path.exists(f"/tmp/.X11-unix/X{n}") or os.path.exists(f"/tmp/.X{n}-lock"):
            continue
        server = subprocess.Popen(["Xvfb", f":{n}", "-screen", "0", SCREEN, "-nolisten", "tcp"],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if os.path.exists(f"/tmp/.X11-unix/X{n}") or server.poll() is not None:
                break
            time.sleep(0.05)
        if server.poll() is None:
            time.sleep(0.1)
            return server, f":{n}"
    raise SystemExit("could not start Xvfb")


@contextlib.contextmanager
def x_session():
    """The X server of DISPLAY, or a private Xvfb started for the run, with a runtime folder
    of the run's own set in the environment; the environment is what the block is given, and
    both go again when it ends."""
    server = None
    if not os.environ.get("DISPLAY"):
        server, display = start_xvfb()
        os.environ["DISPLAY"] = display
    runtime = tempfile.mkdtemp(prefix="k-vorne-runtime.")
    os.chmod(runtime, 0o700)
    os.environ["XDG_RUNTIME_DIR"] = runtime
    try:
        yield dict(os.environ)
    finally:
        shutil.rmtree(runtime, ignore_errors=True)
        if server:
            server.send_signal(signal.SIGTERM)
            server.wait()


def describe(name, times, cpu, rss, pss):
    ms = [t * 1000 for t in times]
    print(f"{name:15} median {statistics.median(ms):6.1f} ms  min {min(ms):6.1f} ms  "
          f"max {max(ms):6.1f} ms  CPU {statistics.median(cpu) * 1000:6.1f} ms  "
          f"VmRSS {statistics.median(rss) / 1024:5.1f} MB  "
          f"Pss {statistics.median(pss) / 1024:5.1f} MB")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("build", help="the build folder (holds K_Vorne/K_Vorne and bench/)")
    parser.add_argument("--runs", type=int, default=15, help="timed starts of each program")
    parser.add_argument("--settle", type=float, default=1.0,
                        help="seconds after the window maps before memory is read")
    args = parser.parse_args()

    build = os.path.abspath(args.build)
    program_folder = os.path.join(build, "K_Vorne")
    kvorne = os.path.join(program_folder, "K_Vorne")
    minimal = os.path.join(build, "bench", "minimal_window")
    for path in (kvorne, minimal):
        if not os.access(path, os.X_OK):
            raise SystemExit(f"missing {path}: build the targets K_Vorne and minimal_window")

    with x_session() as env:
        x = XConnection(os.environ["DISPLAY"])
        print(f"DISPLAY={os.environ['DISPLAY']} "
              f"{x.screen_size[0]}x{x.screen_size[1]}, {args.runs} runs each, alternating")
        if x.screen_size != (1920, 1080):
            # The board keeps screen-sized pictures: memory grows with the screen.
            print("warning: the figures are meant for a 1920x1080 screen", file=sys.stderr)
        programs = {
            "minimal_window": ([minimal], os.path.dirname(minimal)),
            "K_Vorne": ([kvorne], program_folder),
        }
        results = {name: ([], [], [], []) for name in programs}
        for name, (argv, cwd) in programs.items():  # warm-up: page cache, font cache
            run_once(x, argv, cwd, env, 0.0)
        for _ in range(args.runs):
            for name, (argv, cwd) in programs.items():
                for column, value in zip(results[name], run_once(x, argv, cwd, env, args.settle)):
                    column.append(value)
        for name in programs:
            describe(name, *results[name])

        k_times, m_times = results["K_Vorne"][0], results["minimal_window"][0]
        ratio = statistics.median(k_times) / statistics.median(m_times)
        ratio_min = min(k_times) / min(m_times)
        ratio_cpu = statistics.median(results["K_Vorne"][1]) / \
            statistics.median(results["minimal_window"][1])
        rss_mb = statistics.median(results["K_Vorne"][2]) / 1024
        print(f"start-up K_Vorne/minimal: {ratio:.2f}x median, {ratio_min:.2f}x min, "
              f"{ratio_cpu:.2f}x CPU (target {RATIO_TARGET}x or better): "
              f"{'met' if ratio <= RATIO_TARGET else 'MISSED'}")
        print(f"K_Vorne VmRSS {rss_mb:.1f} MB (target <= {RSS_TARGET_MB:.0f} MB): "
              f"{'met' if rss_mb <= RSS_TARGET_MB else 'MISSED'}")


if __name__ == "__main__":
    sys.exit(main())
