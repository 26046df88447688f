#!/usr/bin/env bash
# Installs what is missing, builds K_Vorne with its tests and runs them all: the unit tests,
# the unit tests again under AddressSanitizer and UndefinedBehaviorSanitizer, a short run of
# the profile reader's fuzz target, and the tests that need an X server under a private Xvfb.
set -euo pipefail
source "$(dirname "$0")/common.sh"

bash "$top/scripts/install-deps.sh"
ensure_runtime_dir

build_program "$top/build"
ctest --test-dir "$top/build" -L unit --output-on-failure

build_program "$top/build-sanitize" -DKV_SANITIZE=ON -DKV_BUILD_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1 \
    LSAN_OPTIONS="suppressions=$top/tests/lsan.supp:print_suppressions=0" \
    UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$top/build-sanitize" -L unit --output-on-failure

FUZZ_SECONDS=30 bash "$top/scripts/fuzz.sh"

start_xvfb 1280x800x24
# The browser engine refuses to run as root without this.
export QTWEBENGINE_DISABLE_SANDBOX=1
ctest --test-dir "$top/build" -L 'x11|e2e' --output-on-failure
