#!/usr/bin/env bash
# Fuzzes the reading of the settings file with libFuzzer (clang, ASan, UBSan)
# for the given number of seconds (default 300) and prints how many inputs it tried.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-300}"

bash scripts/deps.sh clang libclang-rt-14-dev

cmake -S . -B build-fuzz -G Ninja -DKAVELO_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-fuzz --target settings_file_fuzzer

# New inputs go to a working corpus in the build folder; the seeds in
# fuzz/corpus (a file of each layout and size edge) stay as they are.
corpus=build-fuzz/corpus
mkdir -p "$corpus"

set +e
build-fuzz/fuzz/settings_file_fuzzer -max_total_time="$seconds" -max_len=9000 -print_final_stats=1 \
  "$corpus" fuzz/corpus 2>&1 | grep -E '^(#[0-9]+.*(pulse|DONE)|==|stat::|SUMMARY)'
status=${PIPESTATUS[0]}
set -e
exit "$status"
