#!/bin/bash
# CPU and memory of the program on a private Xvfb, read from /proc:
#   idle     started, not running, for IDLE_S seconds (30)
#   running  after a click on "Пусни", for RUN_S seconds (30)
#   long     the same run carried on to LONG_S seconds in all (120), with the
#            resident memory sampled every 10 s, to see that it does not grow
#   view     the run on for RUN_S seconds more with the view "Наблюдение"
#            open (F2) beside the window, then closed again
# CPU is utime + stime of all the program's threads over the interval (the
# kernel scales these to its exact run time, so only the unit, 1/CLK_TCK,
# limits them), as a share of one core; wake-ups are the context switches of
# the main thread, where the event loop runs, per second; threads are counted
# at the end of the interval. The X server's CPU is shown beside it: drawing
# the window is work the server does on the program's behalf.
#
#   bench/resources.sh [BUILD_DIR]          (IDLE_S, RUN_S, LONG_S to change the times)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build/default}
program=$build/src/qt/dulmeri
idle_s=${IDLE_S:-30}
run_s=${RUN_S:-30}
long_s=${LONG_S:-120}
[[ -x $program ]] || { echo "missing $program: build the default preset first" >&2; exit 1; }
for tool in Xvfb xdotool xwd md5sum; do
    command -v $tool >/dev/null || { echo "$tool is missing (Debian packages xvfb, xdotool, x11-apps)" >&2; exit 1; }
done

work=$(mktemp -d)
xvfb_pid='' program_pid=''
cleanup() {
    if [[ -n $program_pid ]]; then kill "$program_pid" 2>/dev/null || true; wait "$program_pid" 2>/dev/null || true; fi
    if [[ -n $xvfb_pid ]]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

# A private server; it writes its display number once it is ready.
Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || { echo "Xvfb did not start" >&2; exit 1; }
DISPLAY=:$(head -n1 "$work/display")
export DISPLAY
# No session bus (libdbus would start one for this display); a private runtime folder.
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-session-bus
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

clock_ticks=$(getconf CLK_TCK)
# utime + stime in clock ticks (the fields after the command name in parentheses)
cpu_ticks() { local stat fields; stat=$(<"/proc/$1/stat"); stat=${stat##*) }; read -ra fields <<<"$stat"; echo $((fields[11] + fields[12])); }
rss_kib() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status"; }
switches() { awk '/ctxt_switches/ {n += $2} END {print n}' "/proc/$1/status"; }
threads() { awk '/^Threads:/ {print $2}' "/proc/$1/status"; }
now() { date +%s.%N; }
picture() { xwd -silent -id "$window" | md5sum | cut -c1-32; }

# One interval: CPU share of one core and wake-ups per second, program and server.
measure() {
    local seconds=$1 t0 t1 c0 c1 x0 x1 s0 s1
    t0=$(now); c0=$(cpu_ticks "$program_pid"); x0=$(cpu_ticks "$xvfb_pid"); s0=$(switches "$program_pid")
    sleep "$seconds"
    t1=$(now); c1=$(cpu_ticks "$program_pid"); x1=$(cpu_ticks "$xvfb_pid"); s1=$(switches "$program_pid")
    awk -v t="$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')" -v c=$((c1 - c0)) -v x=$((x1 - x0)) \
        -v s=$((s1 - s0)) -v n="$(threads "$program_pid")" -v hz="$clock_ticks" \
        'BEGIN { printf "%6.1f s  program CPU %6.3f %% (%d/%d s)  main-thread wake-ups %6.1f/s  threads %d  Xvfb CPU %6.3f %%\n",
                 t, 100 * c / hz / t, c, hz, s / t, n, 100 * x / hz / t }'
}

cp "$program" "$work/dulmeri"  # a rebuild during the run changes nothing
"$work/dulmeri" >"$work/program.log" 2>&1 &
program_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$program_pid" | head -n1)
[[ -n $window ]] || { echo "the program's window did not appear" >&2; cat "$work/program.log" >&2; exit 1; }
sleep 2  # let the first paint and the start-up settle

echo "machine: $(nproc) CPUs, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "RSS after start-up:        $(rss_kib "$program_pid") KiB"
echo "== idle (not running), ${idle_s} s"
before=$(picture)
measure "$idle_s"
[[ $(picture) == "$before" ]] && echo "window unchanged while idle: yes" || echo "window unchanged while idle: NO"
echo "RSS idle end:              $(rss_kib "$program_pid") KiB"

# "Пусни" is at 168,176 in the window, 81 x 25: click its middle.
xdotool mousemove --window "$window" 208 188 click 1
sleep 0.5
before=$(picture); sleep 0.5
[[ $(picture) != "$before" ]] || { echo "the simulation did not start after the click" >&2; exit 1; }
sleep 1
echo "== running, ${run_s} s"
rss_start=$(rss_kib "$program_pid")
started=$(now); long_c0=$(cpu_ticks "$program_pid"); long_x0=$(cpu_ticks "$xvfb_pid")
measure "$run_s"
echo "== running on to ${long_s} s in all: RSS every 10 s (KiB)"
samples="$rss_start"
while awk -v a="$started" -v b="$(now)" -v l="$long_s" 'BEGIN { exit !(b - a < l) }'; do
    sleep 10
    samples+=" $(rss_kib "$program_pid")"
done
echo "$samples"
awk -v t="$(awk -v a="$started" -v b="$(now)" 'BEGIN { print b - a }')" -v hz="$clock_ticks" \
    -v c=$(($(cpu_ticks "$program_pid") - long_c0)) -v x=$(($(cpu_ticks "$xvfb_pid") - long_x0)) \
    'BEGIN { printf "%6.1f s  program CPU %6.3f %% (%d/%d s)  Xvfb CPU %6.3f %%  (the whole run)\n",
             t, 100 * c / hz / t, c, hz, 100 * x / hz / t }'
rss_end=$(rss_kib "$program_pid")
echo "RSS at the start of the run $rss_start KiB, at the end $rss_end KiB ($((rss_end - rss_start)) KiB), high-water $(awk '/^VmHWM:/ {print $2}' /proc/$program_pid/status) KiB"

# The view, opened by F2 in the main window: the same run, drawn twice.
xdotool windowfocus --sync "$window" key F2
view=$(timeout 10 xdotool search --sync --onlyvisible --name '^Наблюдение$' | head -n1)
[[ -n $view ]] || { echo "F2 did not open the view" >&2; exit 1; }
sleep 1
echo "== running with the view open, ${run_s} s"
measure "$run_s"
xdotool windowfocus --sync "$window" key F2
sleep 1
xdotool search --onlyvisible --name '^Наблюдение$' >/dev/null && echo "the view closed again: NO" || echo "the view closed again: yes"
[[ $(picture) != "$(sleep 0.3; picture)" ]] && echo "still running at the end: yes" || echo "still running at the end: NO"
