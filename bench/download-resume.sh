#!/usr/bin/env bash
# A download that breaks off again and again: a server on 127.0.0.1 cuts every
# connection after 100 MiB of a 1 GiB file. Kavelo's download-button attempts
# (20 attempts, 5-second pauses) beside up to 20 runs of "curl -C -" and of
# plain "curl", each run after a 5-second pause too. Prints whether the file
# arrived whole, the transfers made, the bytes the server sent (also as a
# multiple of the file size) and the wall time, pauses included.
# Usage: bash bench/download-resume.sh
# Needs about 2.2 GB of free space in the temporary folder.
# Environment: BENCH_BUILD (default build-bench) holds the programs' build in resume/.
set -euo pipefail
cd "$(dirname "$0")/.."
attempts=20
cut=$((100 * 1024 * 1024))
bench_build="${BENCH_BUILD:-$PWD/build-bench}/resume"

bash scripts/deps.sh curl

cmake -S bench/resume -B "$bench_build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$bench_build" >/dev/null

work=$(mktemp -d)
server_pid=""
cleanup() {
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

head -c $((1024 * 1024 * 1024)) /dev/urandom > "$work/large.bin"
size=$(stat -c %s "$work/large.bin")
"$bench_build/resume_server" "$work/large.bin" "$cut" > "$work/port" &
server_pid=$!
for _ in $(seq 50); do
  [ -s "$work/port" ] && break
  sleep 0.1
done
base="http://127.0.0.1:$(cat "$work/port")"
url="$base/file"
sent() { curl -s "$base/sent"; }

# retry <program...>: runs it up to $attempts times, 5 s apart, until it succeeds;
# prints the runs made.
retry() {
  local run
  for run in $(seq "$attempts"); do
    if "$@" 2>/dev/null; then
      echo "$run"
      return
    fi
    [ "$run" -lt "$attempts" ] && sleep 5
  done
  echo "$attempts"
}

printf '%-22s %8s %10s %12s %8s %9s\n' program arrived transfers "MiB sent" "x size" "time s"
# measure <label> <command...>: the command prints the transfers it made.
measure() {
  local label=$1 before after start end transfers arrived
  shift
  rm -f "$work/out.bin"
  before=$(sent)
  start=$(date +%s%N)
  transfers=$("$@" 2>/dev/null | tail -1 || true)
  end=$(date +%s%N)
  after=$(sent)
  arrived=nein
  cmp -s "$work/large.bin" "$work/out.bin" && arrived=ja
  awk -v l="$label" -v a="$arrived" -v t="$transfers" -v s="$((after - before))" -v size="$size" \
      -v ns="$((end - start))" 'BEGIN {
    printf "%-22s %8s %10d %12.0f %8.2f %9.1f\n", l, a, t, s / 1048576, s / size, ns / 1e9
  }'
}

measure "Kavelo ($attempts attempts)" "$bench_build/resume_driver" "$url" "$work/out.bin" "$attempts"
measure "curl -C - ($attempts runs)" retry curl -s -f -C - -o "$work/out.bin" "$url"
measure "curl ($attempts runs)" retry curl -s -f -o "$work/out.bin" "$url"
