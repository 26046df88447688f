#!/usr/bin/env bash
# Builds the fuzz targets (the profile reader, the text panel's RTF reader) with clang and
# libFuzzer and runs each for a while (FUZZ_SECONDS, 30 by default) on a copy of its corpus; a
# crash, a hang or a broken rule fails.
set -euo pipefail
source "$(dirname "$0")/common.sh"

dir="$top/build-fuzz"
CXX=clang++ cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKV_FUZZ=ON -DKV_BUILD_TESTS=OFF -DKV_BUILD_BENCH=OFF
cmake --build "$dir" --target ini_fuzz rtf_fuzz

work=$(mktemp -d /tmp/k-vorne-fuzz.XXXXXX)
trap 'rm -rf "$work"' EXIT

# fuzz <target> <corpus folder> [libFuzzer options...]
fuzz() {
    local target=$1 corpus=$2
    shift 2
    mkdir "$work/$target"
    cp "$corpus"/* "$work/$target"/
    (cd "$dir" && "./tests/fuzz/$target" -max_total_time="${FUZZ_SECONDS:-30}" "$@" \
        "$work/$target")
}

fuzz ini_fuzz "$top/tests/fuzz/ini_corpus" -max_len=4096
# The reader keeps its state in a stack of groups and decodes code pages: a longer input, and a
# dictionary of its words, reach deeper. Every input is read twice and written twice, so one
# that takes seconds is a fault.
fuzz rtf_fuzz "$top/tests/fuzz/rtf_corpus" -max_len=16384 \
    -dict="$top/tests/fuzz/rtf.dict" -timeout=10 -rss_limit_mb=2048
