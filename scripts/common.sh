# Shared by the run and test scripts: the build and a private X server.

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# build_program <folder> [cmake options...]; KV_TARGET, when set, builds only that target.
build_program() {
    local dir=$1
    shift
    cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$dir" ${KV_TARGET:+--target "$KV_TARGET"}
}

# phase <what>: tells which step of a run begins, and how long the run has taken so far.
phase() {
    echo "== $1 (after $((SECONDS / 60)) min $((SECONDS % 60)) s)"
}

# Qt wants a private runtime folder.
ensure_runtime_dir() {
    if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -d "$XDG_RUNTIME_DIR" ]; then
        XDG_RUNTIME_DIR=$(mktemp -d /tmp/k-vorne-runtime.XXXXXX)
        chmod 700 "$XDG_RUNTIME_DIR"
        export XDG_RUNTIME_DIR
    fi
}

# Starts Xvfb on a free display with the given screen ("1280x800x24") and exports DISPLAY.
start_xvfb() {
    local screen=$1 n
    for n in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 "$screen" -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        for _ in $(seq 1 50); do
            [ -e "/tmp/.X11-unix/X$n" ] && break
            sleep 0.1
        done
        if kill -0 "$XVFB_PID" 2>/dev/null; then
            export DISPLAY=":$n"
            trap 'kill $XVFB_PID 2>/dev/null || true' EXIT
            return 0
        fi
    done
    echo "could not start Xvfb" >&2
    return 1
}

# Starts openbox, the window manager of a plain classroom desktop, on $DISPLAY and waits until
# it has taken the screen (it names itself on the root window); stop_window_manager ends it.
start_window_manager() {
    openbox >/dev/null 2>&1 &
    WM_PID=$!
    for _ in $(seq 1 50); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.1
    done
    echo "could not start openbox" >&2
    return 1
}

stop_window_manager() {
    kill "$WM_PID" 2>/dev/null || true
    wait "$WM_PID" 2>/dev/null || true
}
