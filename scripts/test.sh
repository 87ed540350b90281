#!/usr/bin/env bash
# Installs what is missing, builds Kavelo and runs every test, in stages that
# each print their time: the formatting; the whole suite in build/ (the
# program as shipped: optimised and hardened); the logic's tests again under
# AddressSanitizer and UBSan in build-asan/, and those that run threads under
# ThreadSanitizer in build-tsan/; a short run of each fuzzer; the checks of
# the Debian package.
set -euo pipefail
cd "$(dirname "$0")/.."

# stage <name> <command...>: runs the command and prints how long it took.
stage() {
  local name=$1 start=$SECONDS
  shift
  echo "=== $name"
  "$@"
  echo "=== $name: $((SECONDS - start)) s"
}

# Every CTest entry has a time limit of its own, not CTest's default of 25 minutes.
timeouts() {
  (cd build && ctest --show-only=json-v1) | python3 -c '
import json, sys
tests = json.load(sys.stdin)["tests"]
bare = [t["name"] for t in tests if not any(p["name"] == "TIMEOUT" for p in t.get("properties", []))]
print(f"{len(tests)} cases, {len(bare)} without a time limit of their own", *bare, sep="\n  ")
sys.exit(1 if bare else 0)'
}

suite() {
  cmake -S . -B build -G Ninja -DKAVELO_WERROR=ON
  cmake --build build
  timeouts
  (cd build && ctest -j2 --output-on-failure)
}

sanitizers() {
  cmake -S . -B build-asan -G Ninja -DKAVELO_SANITIZE=address -DKAVELO_WERROR=ON
  cmake --build build-asan
  (cd build-asan && ctest -j2 --output-on-failure -L core)
  cmake -S . -B build-tsan -G Ninja -DKAVELO_SANITIZE=thread -DKAVELO_WERROR=ON
  cmake --build build-tsan
  (cd build-tsan && TSAN_OPTIONS=halt_on_error=1 ctest -j2 --output-on-failure)
}

stage "packages" bash scripts/deps.sh clang-format clang libclang-rt-14-dev
stage "formatting" bash scripts/check-format.sh
stage "suite" suite
stage "sanitizers" sanitizers
stage "fuzzers" bash scripts/fuzz.sh 40
stage "package" bash scripts/package-test.sh
echo "=== all tests: $SECONDS s"
