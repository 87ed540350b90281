#!/usr/bin/env bash
# Builds the Debian package kavelo_<version>_amd64.deb into the top folder from
# the program in build/. Install it with: sudo apt install ./kavelo_*_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh

cmake -S . -B build -G Ninja
cmake --build build --target kavelo
rm -rf build/package
cpack --config build/CPackConfig.cmake -B "$PWD/build/package" > build/cpack.log \
  || { cat build/cpack.log; exit 1; }
deb=$(basename build/package/kavelo_*_amd64.deb)
mv -f "build/package/$deb" .
echo "$deb"
