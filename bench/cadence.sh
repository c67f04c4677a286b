#!/bin/bash
# The rhythm of the control timer: the real window with its own 100 ms timer,
# run for a fixed time (20 s by default) offscreen, then again on a private
# Xvfb through the X11 platform the program uses on a desktop. bench/cadence
# prints the period statistics and the drift against the clock.
#
#   bench/cadence.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$here/../build/default
if [[ $# -gt 0 && ! $1 =~ ^[0-9.]+$ ]]; then build=$1; shift; fi
seconds=${1:-20}
cadence=$build/bench/cadence
[[ -x $cadence ]] || { echo "missing $cadence: build the default preset first" >&2; exit 1; }
command -v xvfb-run >/dev/null || { echo "xvfb-run is missing (Debian package xvfb)" >&2; exit 1; }

# No session bus: libdbus would otherwise start one for the display.
export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/no-session-bus
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}

echo "== offscreen, ${seconds} s"
QT_QPA_PLATFORM=offscreen "$cadence" "$seconds"
echo
echo "== X11 (Xvfb), ${seconds} s"
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96 -nolisten tcp" env QT_QPA_PLATFORM=xcb "$cadence" "$seconds"
