#!/bin/bash
# Start-up to the first window shown: the program against a bare Qt window of
# the same size (bench/minimal_window.cpp, the floor) and the same window with
# one line of text in the program's font, taking turns, under a private Xvfb,
# timed from the outside to the map of the window (bench/startup.py).
#
#   bench/startup.sh [BUILD_DIR] [startup.py options, e.g. --runs 30 --csv FILE]
#
# BUILD_DIR defaults to build/default (cmake --preset default && cmake --build
# --preset default). Needs xvfb and python3-xlib; Debian's own python3 is
# used, where that module is installed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$here/../build/default
if [[ $# -gt 0 && $1 != -* ]]; then build=$1; shift; fi
for program in "$build/bench/minimal_window" "$build/src/qt/dulmeri"; do
    [[ -x $program ]] || { echo "missing $program: build the default preset first" >&2; exit 1; }
done
# Time copies side by side in one folder, so a rebuild during the runs
# changes nothing and both load from the same file system.
copies=$(mktemp -d)
trap 'rm -rf "$copies"' EXIT
cp "$build/bench/minimal_window" "$build/src/qt/dulmeri" "$copies/"
"${PYTHON:-/usr/bin/python3}" "$here/startup.py" "$@" \
    "$copies/minimal_window" "$copies/minimal_window --text" "$copies/dulmeri"
