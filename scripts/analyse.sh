#!/usr/bin/env bash
# Static analysis of the product's sources (not the tests): clang-tidy with
# the checks of .clang-tidy (bugprone, performance), and clazy's level 0
# checks of the Qt idioms. clang reads each file with the project's flags
# from a compile database in build-analysis/; clang's own warnings count as
# findings too. Any finding fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh clang clang-tidy clazy

cmake -S . -B build-analysis -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
  -DCMAKE_DISABLE_PRECOMPILE_HEADERS=ON > build-analysis.log 2>&1 || { cat build-analysis.log; exit 1; }
mv build-analysis.log build-analysis/configure.log

# The product's files that this platform compiles.
mapfile -t files < <(python3 - <<'PY'
import json, os
root = os.getcwd() + "/"
own = ("dialogs/", "downloads/", "mainwindow/", "platform/", "settings/", "widgets/", "resources/", "main.cpp")
entries = json.load(open("build-analysis/compile_commands.json"))
print("\n".join(sorted({e["file"] for e in entries if e["file"].startswith(root) and e["file"][len(root):].startswith(own)})))
PY
)
echo "${#files[@]} files"

# analyse <file>: both tools on one file; prints the findings only.
analyse() {
  local status=0
  clang-tidy-14 -p build-analysis --quiet "$1" 2> /dev/null || status=1
  clazy-standalone -p build-analysis -checks=level0 --extra-arg=-Werror "$1" 2>&1 || status=1
  return "$status"
}
export -f analyse
printf '%s\n' "${files[@]}" | xargs -P 2 -I{} bash -c 'analyse "$1"' _ {}
echo "clang-tidy and clazy: no findings ($SECONDS s)"
