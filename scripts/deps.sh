#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Kavelo need,
# when any of them is missing. Runs apt-get update once, and only then.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-svg-dev qt6-webengine-dev qt6-translations-l10n
  libcurl4-openssl-dev libcpp-httplib-dev libgtest-dev libssl-dev
  xvfb xauth xdotool x11-utils openbox cage xwayland qt6-wayland imagemagick fonts-liberation fonts-dejavu-core
  dpkg-dev lintian desktop-file-utils appstream systemd man-db python3
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
