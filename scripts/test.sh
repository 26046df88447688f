#!/usr/bin/env bash
# Installs what is missing, checks the format of the changed files, builds K_Vorne with its
# tests and runs them all: the unit tests, the tests against a Samba server, once more under a German and a Chinese locale,
# the unit tests again under AddressSanitizer and UndefinedBehaviorSanitizer, those of the parts
# that run threads under ThreadSanitizer, a short run of
# each fuzz target (the profile reader, the RTF reader), the tests that need an X server under
# a private Xvfb, the tests of the real program again under a window manager, and on CI the
# Debian package, installed and run as a teacher's account.
set -euo pipefail
source "$(dirname "$0")/common.sh"

phase "installing what is missing"
bash "$top/scripts/install-deps.sh"
ensure_runtime_dir

phase "formatting"
bash "$top/scripts/check-format.sh"

# Every option this script relies on is given, not taken from the cache: the run script
# configures the same folder without tests, and a cached option outlives the script that set it.
phase "the build"
build_program "$top/build" -DKV_BUILD_TESTS=ON -DKV_BUILD_BENCH=ON -DKV_SANITIZE=OFF
phase "unit tests"
ctest --test-dir "$top/build" -L unit --output-on-failure --no-tests=error

phase "tests with a Samba server"
# The lessons on a school's share, against a real smbd that the tests start on the loopback;
# smbd runs as root only, so elsewhere they are skipped.
ctest --test-dir "$top/build" -L samba --output-on-failure --no-tests=error

phase "unit tests under other locales"
# Once more as a machine set to each locale runs them: LANG alone, nothing in LC_* over it, so
# numbers are written with a decimal comma and the system encoding is GB18030, not UTF-8. A
# locale that is not installed fails the run instead of quietly falling back to C.
unset_lc=$(env | sed -n 's/^\(LC_[A-Z_]*\)=.*/-u \1/p')
for lang in de_DE.UTF-8 zh_CN.GB18030; do
    # shellcheck disable=SC2086 # one word per variable to unset
    if env $unset_lc LANG="$lang" locale 2>&1 >/dev/null | grep -q .; then
        echo "the locale $lang is not installed (scripts/install-deps.sh generates it)" >&2
        exit 1
    fi
    # shellcheck disable=SC2086
    env $unset_lc LANG="$lang" ctest --test-dir "$top/build" -L unit --output-on-failure \
        --no-tests=error
done

phase "the sanitizer build"
# Optimised less and with line tables only: this build is for finding faults, and compiling is
# most of its time.
KV_TARGET=kv_unit_tests build_program "$top/build-sanitize" -DKV_BUILD_TESTS=ON -DKV_BUILD_BENCH=OFF \
    -DKV_SANITIZE=ON -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"
phase "unit tests under the sanitizers"
ASAN_OPTIONS=detect_leaks=1 \
    LSAN_OPTIONS="suppressions=$top/tests/lsan.supp:print_suppressions=0" \
    UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir "$top/build-sanitize" -L unit --output-on-failure --no-tests=error

phase "the thread sanitizer build"
# Only the unit tests of the parts that run threads (page packing, the recovery writer, the
# lesson pipeline, the scanner session, import thumbnails), built as lightly as the other
# sanitizer build. Qt is not built with the sanitizer: what its libraries do on their own
# (allocating and freeing their thread pool's tasks, copying their shared data) is left out,
# and the program tells the sanitizer about Qt's hand-overs itself (platform/os/handoff.h).
# The build runs a program of its own (the stamp renderer), so the options are set for it too.
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:ignore_noninstrumented_modules=1"
KV_TARGET=kv_threaded_tests build_program "$top/build-tsan" -DKV_BUILD_TESTS=ON \
    -DKV_BUILD_BENCH=OFF -DKV_SANITIZE=OFF -DKV_SANITIZE_THREAD=ON \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG"
phase "unit tests under the thread sanitizer"
ctest --test-dir "$top/build-tsan" -L threads --output-on-failure --no-tests=error
unset TSAN_OPTIONS

phase "fuzzing"
FUZZ_SECONDS=15 bash "$top/scripts/fuzz.sh"

phase "tests under X"
start_xvfb 1280x800x24
# The browser engine refuses to run as root without this.
export QTWEBENGINE_DISABLE_SANDBOX=1
ctest --test-dir "$top/build" -L 'x11|e2e' --output-on-failure --no-tests=error
# The program's own windows once more under a window manager, which frames and stacks them
# as a classroom desktop does.
phase "the program under a window manager"
start_window_manager
ctest --test-dir "$top/build" -L e2e --output-on-failure --no-tests=error
stop_window_manager

# The Debian package installed and run as a school would: this changes the machine, so it runs
# only where asked for (CI, as root).
if [ "${CI:-}" = 1 ] || [ "${KV_PACKAGE_TEST:-}" = 1 ]; then
    phase "the Debian package"
    bash "$top/scripts/package-test.sh"
fi
phase "done"
