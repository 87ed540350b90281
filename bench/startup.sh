#!/usr/bin/env bash
# Start-up benchmark: Kavelo beside a bare QWebEngineView program, alternating,
# without a display. Prints medians and ratios (kavelo / bare) of the time to
# the home page request, the time to the page's load and the peak memory of
# the process tree.
#
# Usage: bench/startup.sh [options of bench/startup/startup_bench.py]
#   e.g. bench/startup.sh --runs 7 --verbose
# Environment: KAVELO (default build/bin/kavelo), BENCH_BUILD (default build-bench).
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
kavelo="${KAVELO:-$repo/build/bin/kavelo}"
bench_build="${BENCH_BUILD:-$repo/build-bench}/startup"

if [[ ! -x "$kavelo" ]]; then
    echo "no kavelo program at $kavelo; build it with: cmake --build $repo/build --target kavelo" >&2
    exit 1
fi

# The bare program, built in its own folder.
cmake -S "$repo/bench/startup" -B "$bench_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$bench_build" -j 2 >/dev/null

# As on a machine without a display.
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

exec python3 "$repo/bench/startup/startup_bench.py" --kavelo "$kavelo" --bare "$bench_build/BareView" "$@"
