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
# Tools whose recommended packages nothing here needs (devscripts': dozens).
lean=(devscripts)

# missing <package...>: those of them that are not installed.
missing() {
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}
mapfile -t wanted < <(missing "${packages[@]}")
mapfile -t wantedLean < <(missing "${lean[@]}")
[ ${#wanted[@]} -eq 0 ] && [ ${#wantedLean[@]} -eq 0 ] && exit 0

echo "Installing: ${wanted[*]} ${wantedLean[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
export DEBIAN_FRONTEND=noninteractive
[ ${#wanted[@]} -eq 0 ] || $sudo apt-get install -y -qq "${wanted[@]}"
[ ${#wantedLean[@]} -eq 0 ] || $sudo apt-get install -y -qq --no-install-recommends "${wantedLean[@]}"
