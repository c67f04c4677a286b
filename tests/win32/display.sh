#!/usr/bin/env bash
# The private X server of the Windows tests, started and stopped by CTest
# fixtures (win32.display.start, win32.display.stop).
#
#   display.sh start FILE PREFIX...   start Xvfb, write its display to FILE
#   display.sh stop FILE PREFIX...    end the prefixes' Wine processes and Xvfb
#
# Wine processes of a prefix share one wineserver and one desktop process,
# which keep the display they were started with; starting ends whatever
# test discovery left running, so every test of the run uses this server.
set -euo pipefail

action="$1"
file="$2"
shift 2
wine_run="$(dirname "$0")/../../tools/wine-run"

stop_wine() {
    local prefix
    for prefix in "$@"; do
        "$wine_run" --prefix="$prefix" --stop
    done
}

stop_xvfb() {
    if [ -f "$file.pid" ]; then
        kill "$(cat "$file.pid")" 2>/dev/null || true
    fi
    rm -f "$file" "$file.pid" "$file.number"
}

case "$action" in
    start)
        stop_wine "$@"
        stop_xvfb
        mkdir -p "$(dirname "$file")"
        # 24-bit colour, so that every colour of the design reads back exactly.
        setsid Xvfb -displayfd 3 -screen 0 1366x768x24 -dpi 96 -nolisten tcp -noreset \
            3>"$file.number" </dev/null >"$file.log" 2>&1 &
        echo $! >"$file.pid"
        for _ in $(seq 300); do
            [ -s "$file.number" ] && break
            sleep 0.1
        done
        if [ ! -s "$file.number" ]; then
            echo "Xvfb did not start:" >&2
            cat "$file.log" >&2
            stop_xvfb
            exit 1
        fi
        echo ":$(tr -d '\n' <"$file.number")" >"$file"
        echo "Xvfb on $(cat "$file")"
        ;;
    stop)
        stop_wine "$@"
        stop_xvfb
        ;;
    *)
        echo "usage: $0 start|stop FILE PREFIX..." >&2
        exit 2
        ;;
esac
