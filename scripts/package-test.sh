#!/usr/bin/env bash
# The Debian package, tested as a school installs it: made from the build folder, checked by
# lintian, installed with apt-get, started from the installed launcher by an ordinary user made
# for the test (root would write anywhere), and removed again without leaving a file behind.
# Changes the machine: run as root, on a machine made for testing (CI does).
# Usage: package-test.sh   (after test.sh has built build/; DISPLAY set to a running X server)
set -euo pipefail
source "$(dirname "$0")/common.sh"

export DEBIAN_FRONTEND=noninteractive
apt-get install -y --no-install-recommends dpkg-dev file lintian appstream desktop-file-utils >/dev/null

(cd "$top/build" && rm -f k-vorne_*.deb && cpack -G DEB)
deb=$(ls "$top"/build/k-vorne_*_amd64.deb)
lintian --fail-on error --suppress-tags maintscript-calls-ldconfig "$deb"
apt-get install -y "$deb"
appstreamcli validate --no-net /usr/share/metainfo/org.kvorne.KVorne.metainfo.xml
desktop-file-validate /usr/share/applications/k-vorne.desktop
# The package's own files (folders may be shared with other packages).
mapfile -t files < <(dpkg -L k-vorne | while read -r f; do
    if [ ! -d "$f" ] || [ -L "$f" ]; then echo "$f"; fi
done)

# The foundation's end-to-end run against the launcher, as a teacher's account runs it.
id kvorne-test >/dev/null 2>&1 || useradd --create-home kvorne-test
work=$(mktemp -d /tmp/k-vorne-package.XXXXXX)
cp "$top"/tests/e2e/*.py "$work"/
runtime=$(mktemp -d /tmp/k-vorne-package-runtime.XXXXXX)
chown kvorne-test "$work" "$runtime"
chmod 700 "$runtime"
(cd "$work" && runuser -u kvorne-test -- env DISPLAY="$DISPLAY" XDG_RUNTIME_DIR="$runtime" \
    HOME=/home/kvorne-test python3 test_foundation.py /usr/bin/k-vorne)
cp "$work/e2e-toolbar.png" "$top/build/package-toolbar.png"
echo "the toolbar as the installed program shows it: $top/build/package-toolbar.png"

# A technician trying it as root: the installed folder stays as the package left it (dpkg -r
# below finds any file written there, as the folder is then left behind).
rootdata=$(mktemp -d /tmp/k-vorne-package-root.XXXXXX)
env XDG_DATA_HOME="$rootdata" XDG_RUNTIME_DIR="$runtime" QTWEBENGINE_DISABLE_SANDBOX=1 \
    /usr/bin/k-vorne >/dev/null 2>&1 &
rootrun=$!
sleep 3
kill "$rootrun" 2>/dev/null || true
wait "$rootrun" 2>/dev/null || true
dpkg -V k-vorne
[ -e "$rootdata/K_Vorne/program/K_Vorne" ] || { echo "root did not work in a folder of its own" >&2; exit 1; }
rm -rf "$rootdata"

dpkg -r k-vorne
left=()
for f in "${files[@]}"; do
    if [ -e "$f" ] || [ -L "$f" ]; then left+=("$f"); fi
done
if [ ${#left[@]} -gt 0 ] || [ -e /usr/lib/k-vorne ]; then
    echo "dpkg -r left files of the package behind: ${left[*]}" >&2
    exit 1
fi
rm -rf "$work" "$runtime"
echo "the package installs, runs and removes cleanly"
