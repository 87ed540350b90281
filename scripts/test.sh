#!/usr/bin/env bash
# Installs what is missing, builds Kavelo and runs every test: the whole suite
# in build/, then the logic tests again under AddressSanitizer and UBSan in
# build-asan/, after a check of the formatting; then a 30-second run of the
# fuzzer and the checks of the Debian package.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh clang-format clang libclang-rt-14-dev

bash scripts/check-format.sh

cmake -S . -B build -G Ninja -DKAVELO_WERROR=ON
cmake --build build
(cd build && ctest --output-on-failure)

cmake -S . -B build-asan -G Ninja -DKAVELO_SANITIZE=ON -DKAVELO_WERROR=ON
cmake --build build-asan
(cd build-asan && ctest --output-on-failure -L core)

# A short run of the settings-file fuzzer from the seeds in fuzz/corpus.
bash scripts/fuzz-settings.sh 30

# The Debian package: built, validated and run from its unpacked files.
bash scripts/package-test.sh
