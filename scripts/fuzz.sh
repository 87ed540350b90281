#!/usr/bin/env bash
# Fuzzes what comes from outside with libFuzzer (clang, ASan, UBSan): the
# settings file and its text, a partial answer's Content-Range, the file names
# that pages suggest and the no_proxy entries. The given number of seconds (default 300)
# is shared out evenly, two targets running at a time; each prints how many
# inputs it tried.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-300}"
targets=(settings_file_fuzzer settings_text_fuzzer content_range_fuzzer page_file_name_fuzzer no_proxy_fuzzer)

bash scripts/deps.sh clang libclang-rt-14-dev

cmake -S . -B build-fuzz -G Ninja -DKAVELO_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-fuzz --target "${targets[@]}"

# fuzz <target> <seconds>: new inputs go to a working corpus in the build
# folder, a failing input beside it; the seeds in fuzz/corpus/<target> stay
# as they are.
fuzz() {
  local corpus=build-fuzz/corpus/$1
  mkdir -p "$corpus"
  build-fuzz/fuzz/"$1" -max_total_time="$2" -max_len=9000 -print_final_stats=1 \
    -artifact_prefix=build-fuzz/"$1"- "$corpus" fuzz/corpus/"$1" > build-fuzz/"$1".log 2>&1
}

share=$((seconds * 2 / ${#targets[@]}))
status=0
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  pids=()
  for target in "${targets[@]:i:2}"; do
    fuzz "$target" "$share" &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do wait "$pid" || status=1; done
done
for target in "${targets[@]}"; do
  echo "== $target"
  grep -E '^(#[0-9]+.*DONE|==|stat::number_of_executed_units|SUMMARY|artifact_prefix)' build-fuzz/"$target".log || true
done
exit "$status"
