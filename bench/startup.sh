#!/usr/bin/env bash
# Start-up benchmark: Kavelo beside a bare QWebEngineView program that starts
# the web engine as Kavelo does (same switches, a profile in memory), alternating.
# Two modes: without a display (Qt's offscreen platform, chosen with
# QT_QPA_PLATFORM: without it a window run ends at once) and in a real window on a virtual X display with a window manager
# (Xvfb and openbox, as a person starts it). Prints medians and ratios
# (kavelo / bare) of the time to the home page request, the time to the page's
# load and the peak memory of the process tree, for each mode, and at the end
# both tables of the targets.
#
# Usage: bench/startup.sh [options of bench/startup/startup_bench.py]
#   e.g. bench/startup.sh --runs 7 --verbose
# Environment: KAVELO (default build/bin/kavelo), BENCH_BUILD (default build-bench),
#   MODES (default "offscreen xvfb").
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
kavelo="${KAVELO:-$repo/build/bin/kavelo}"
bench_build="${BENCH_BUILD:-$repo/build-bench}/startup"
modes="${MODES:-offscreen xvfb}"

if [[ ! -x "$kavelo" ]]; then
    echo "no kavelo program at $kavelo; build it with: cmake --build $repo/build --target kavelo" >&2
    exit 1
fi

# The bare program, built in its own folder.
cmake -S "$repo/bench/startup" -B "$bench_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$bench_build" -j 2 >/dev/null

work="$(mktemp -d)"
xvfb_pid=""
wm_pid=""
cleanup() {
    [[ -n "$wm_pid" ]] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# A virtual X display with a window manager; sets display.
start_x() {
    # The server picks a free display and writes its number into the pipe.
    mkfifo "$work/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    local number=""
    read -r -t 15 number <"$work/display" || true
    if [[ -z "$number" ]]; then
        echo "Xvfb did not start; see $work/xvfb.log" >&2
        exit 1
    fi
    display=":$number"
    if command -v openbox >/dev/null; then
        DISPLAY="$display" HOME="$work" openbox >"$work/openbox.log" 2>&1 &
        wm_pid=$!
        # The window manager has taken over once it names itself on the root window.
        for _ in $(seq 1 100); do
            DISPLAY="$display" xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
            sleep 0.1
        done
    else
        echo "(no openbox: the windows run without a window manager)"
    fi
}

summary="$work/summary.md"
for mode in $modes; do
    case "$mode" in
    offscreen)
        echo "=== without a display (offscreen) ==="
        (unset DISPLAY WAYLAND_DISPLAY
         export QT_QPA_PLATFORM=offscreen
         python3 "$repo/bench/startup/startup_bench.py" --kavelo "$kavelo" --bare "$bench_build/BareView" \
             --mode offscreen --summary "$summary" "$@")
        ;;
    xvfb)
        echo "=== a real window (Xvfb with a window manager) ==="
        start_x
        (unset WAYLAND_DISPLAY QT_QPA_PLATFORM
         python3 "$repo/bench/startup/startup_bench.py" --kavelo "$kavelo" --bare "$bench_build/BareView" \
             --display "$display" --mode "Xvfb window" --summary "$summary" "$@")
        ;;
    *)
        echo "unknown mode $mode (offscreen, xvfb)" >&2
        exit 2
        ;;
    esac
    echo
done

echo "=== targets ==="
cat "$summary"
