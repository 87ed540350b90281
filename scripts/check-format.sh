#!/usr/bin/env bash
# Fails when a C++ file of the repository differs from what clang-format makes
# of it (the configuration is .clang-format); names the files that differ.
set -euo pipefail
cd "$(dirname "$0")/.."

differing=()
while IFS= read -r -d '' file; do
  clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || differing+=("$file")
done < <(git ls-files -z '*.cpp' '*.h')

if [ ${#differing[@]} -gt 0 ]; then
  echo "Not formatted (run: clang-format -i <file>):"
  printf '  %s\n' "${differing[@]}"
  exit 1
fi
echo "All C++ files are formatted."
