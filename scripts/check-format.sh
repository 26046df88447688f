#!/usr/bin/env bash
# Checks that the C++ files a change touches are formatted as .clang-format says. The change is
# what this branch adds to the main line (from the merge base with origin/main, or from the
# commit before when there is no such remote) together with what is not committed yet. Where
# that is nothing, as on a clean clone of the main line itself, every C++ file in the tree is
# checked instead: that takes seconds.
set -euo pipefail
cd "$(dirname "$0")/.."

base=
if git rev-parse -q --verify origin/main >/dev/null; then
    base=$(git merge-base HEAD origin/main)
elif git rev-parse -q --verify HEAD~1 >/dev/null; then
    base=HEAD~1
fi

files=()
if [ -n "$base" ]; then
    mapfile -t files < <({
        git diff --name-only --diff-filter=d "$base" -- '*.cpp' '*.h'
        git ls-files --others --exclude-standard -- '*.cpp' '*.h'
    } | sort -u)
fi
if [ ${#files[@]} -eq 0 ]; then
    mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
fi

echo "checking the format of ${#files[@]} files"
clang-format --dry-run --Werror "${files[@]}"
