#!/usr/bin/env bash
# Builds the profile reader's fuzz target with clang and libFuzzer and runs it for a while
# (FUZZ_SECONDS, 30 by default) on a copy of the corpus; a crash or a broken rule fails.
set -euo pipefail
source "$(dirname "$0")/common.sh"

dir="$top/build-fuzz"
CXX=clang++ cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKV_FUZZ=ON -DKV_BUILD_TESTS=OFF -DKV_BUILD_BENCH=OFF
cmake --build "$dir" --target ini_fuzz

corpus=$(mktemp -d /tmp/k-vorne-ini-corpus.XXXXXX)
trap 'rm -rf "$corpus"' EXIT
cp "$top"/tests/fuzz/ini_corpus/* "$corpus"/
cd "$dir"
./tests/fuzz/ini_fuzz -max_total_time="${FUZZ_SECONDS:-30}" -max_len=4096 "$corpus"
