#!/usr/bin/env bash
# Installs what is missing, builds Kavelo and starts it; arguments go to the
# program (for example "0", "1" … "4", "autostop"). The executable lives in
# build/bin, where it also keeps its settings file "Einstell.DAT".
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh

cmake -S . -B build -G Ninja
cmake --build build --target kavelo
exec build/bin/kavelo "$@"
