#!/usr/bin/env bash
# Throughput of DownloadToFile against "curl -s -o" on the same files, served
# by nginx (sendfile on) on 127.0.0.1 from a temporary folder, in alternating
# runs after one warm-up each. Prints the medians in MB/s, their ratio and the
# peak resident memory of both programs, for a 10 MiB and a 1 GiB file.
# Usage: bash bench/download-throughput.sh [runs per program, default 5]
# Needs about 2.1 GB of free space in the temporary folder.
# Environment: BENCH_BUILD (default build-bench) holds the driver's build in download/.
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-5}"
bench_build="${BENCH_BUILD:-$PWD/build-bench}/download"

extra=(curl time)
command -v nginx >/dev/null || extra+=(nginx-light)
bash scripts/deps.sh "${extra[@]}"

# The driver: DownloadToFile in a program of its own, built optimized.
cmake -S bench/download -B "$bench_build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$bench_build" >/dev/null
driver="$bench_build/download_bench"

work=$(mktemp -d)
nginx_pid=""
cleanup() {
  if [ -n "$nginx_pid" ]; then
    kill "$nginx_pid" 2>/dev/null || true
    wait "$nginx_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# nginx's workers run as an unprivileged user: they must be able to read the files.
chmod 755 "$work"
mkdir -p "$work/www" "$work/out" "$work/logs"
head -c $((10 * 1024 * 1024)) /dev/urandom > "$work/www/small.bin"
head -c $((1024 * 1024 * 1024)) /dev/urandom > "$work/www/large.bin"
chmod 644 "$work/www/"*.bin

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat > "$work/nginx.conf" <<CONF
daemon off;
worker_processes 1;
pid $work/nginx.pid;
error_log $work/logs/error.log;
events { worker_connections 64; }
http {
  access_log off;
  sendfile on;
  tcp_nopush on;
  default_type application/octet-stream;
  client_body_temp_path $work/logs/body;
  server {
    listen 127.0.0.1:$port;
    root $work/www;
  }
}
CONF
nginx -p "$work" -c "$work/nginx.conf" &
nginx_pid=$!
for _ in $(seq 50); do
  curl -s -o /dev/null "http://127.0.0.1:$port/small.bin" && break
  sleep 0.1
done

# run <file> <program...>: wall time in ns and peak RSS in KiB of one download.
run() {
  local file=$1 start end
  shift
  start=$(date +%s%N)
  /usr/bin/time -f %M -o "$work/rss" "$@" >/dev/null
  end=$(date +%s%N)
  echo "$((end - start)) $(cat "$work/rss")"
  rm -f "$file"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

printf '%-8s %5s %11s %13s %7s %14s %16s\n' file runs "curl MB/s" "Kavelo MB/s" ratio "curl peak RSS" "Kavelo peak RSS"
for name in small large; do
  url="http://127.0.0.1:$port/$name.bin"
  bytes=$(stat -c %s "$work/www/$name.bin")
  out="$work/out/$name.bin"
  curl_cmd=(curl -s -o "$out" "$url")
  kavelo_cmd=("$driver" "$url" "$out")
  run "$out" "${curl_cmd[@]}" >/dev/null
  run "$out" "${kavelo_cmd[@]}" >/dev/null
  : > "$work/curl.txt"
  : > "$work/kavelo.txt"
  for _ in $(seq "$runs"); do
    run "$out" "${curl_cmd[@]}" >> "$work/curl.txt"
    run "$out" "${kavelo_cmd[@]}" >> "$work/kavelo.txt"
  done
  curl_ns=$(cut -d' ' -f1 "$work/curl.txt" | median)
  kavelo_ns=$(cut -d' ' -f1 "$work/kavelo.txt" | median)
  curl_rss=$(cut -d' ' -f2 "$work/curl.txt" | sort -n | tail -1)
  kavelo_rss=$(cut -d' ' -f2 "$work/kavelo.txt" | sort -n | tail -1)
  label=$([ "$name" = small ] && echo "10 MiB" || echo "1 GiB")
  awk -v label="$label" -v runs="$runs" -v bytes="$bytes" -v c="$curl_ns" -v k="$kavelo_ns" \
      -v cr="$curl_rss" -v kr="$kavelo_rss" 'BEGIN {
    cm = bytes / (c / 1e9) / 1e6; km = bytes / (k / 1e9) / 1e6
    printf "%-8s %5d %11.0f %13.0f %7.2f %11d KiB %13d KiB\n", label, runs, cm, km, km / cm, cr, kr
  }'
done
