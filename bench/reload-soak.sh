#!/usr/bin/env bash
# Reload soak: the real main window in viewer mode (keyword "0", RefreshMinutes
# 1) reloads a loopback home page with images and a script through its timed
# reload, 500 times at the pace the page loads, without a display. Prints the
# memory of the whole process tree (RSS and PSS summed over the program and
# its QtWebEngineProcess children) after 50 and after 500 reloads and their
# ratio; exits with 1 when a ratio exceeds 1.15.
#
# Usage: bench/reload-soak.sh [reloads, default 500] [first count, default 50]
# Environment: BENCH_BUILD (default build-bench) holds the driver's build in reload/.
# The driver's project adds the repository as a subdirectory, so the first run
# compiles the program's libraries once more there.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bench_build="${BENCH_BUILD:-$repo/build-bench}/reload"

cmake -S "$repo/bench/reload" -B "$bench_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$bench_build" -j 2 --target reload_soak >/dev/null

# As on a machine without a display, the window on the offscreen platform chosen for it.
unset DISPLAY WAYLAND_DISPLAY
export QT_QPA_PLATFORM=offscreen

# The figures come on stdout; the engine's console chatter goes to a log.
log="$bench_build/reload_soak.log"
status=0
"$bench_build/reload_soak" "$@" 2>"$log" || status=$?
if [ "$status" -ne 0 ]; then
  grep -E '^(message box|reload|the home page|cannot|usage)' "$log" >&2 || true
  echo "exit status $status; the driver's messages are in $log" >&2
fi
exit "$status"
