#!/usr/bin/env bash
# Builds the Debian package and checks it: lintian, the hardening of the
# executable, the desktop entry and icon, the AppStream data, the kiosk units
# and session entry, the man page, and real runs of the unpacked program. In a
# mount namespace of its own the package's /usr is laid over the system's, so
# the program runs from /usr/lib/kavelo as installed, where root could write
# and the program must not.
set -euo pipefail
cd "$(dirname "$0")/.."

version=$(sed -n 's/^project(Kavelo VERSION \([^ ]*\).*/\1/p' CMakeLists.txt)
deb=kavelo_${version}_amd64.deb
if [ "${1:-}" != --inside ]; then
  bash scripts/package.sh
  namespace=(unshare --mount)
  [ "$(id -u)" -eq 0 ] || namespace=(unshare --map-root-user --mount)
  exec "${namespace[@]}" bash "$0" --inside
fi

work=$(mktemp -d)
server_pid=""
cleanup() {
  [ -z "$server_pid" ] || kill "$server_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

passed=0
failed=0
# check <what> <command...>: runs the command, counts and reports the result.
check() {
  local what=$1
  shift
  if "$@" > "$work/check.log" 2>&1; then
    passed=$((passed + 1))
    echo "ok     $what"
  else
    failed=$((failed + 1))
    echo "FAILED $what"
    sed 's/^/       /' "$work/check.log"
  fi
}

root=$work/root
dpkg-deb -x "$deb" "$root"

# Settings in /etc/kavelo are the administrator's, never the package's.
check "no file under /etc" test ! -e "$root/etc"
# lintian, the validators, systemd-analyze, man and the runs below find
# every other file of the package missing or broken.
check "icon in the hicolor theme" grep -q '<svg' "$root/usr/share/icons/hicolor/scalable/apps/kavelo.svg"
# The texts are German; lintian's spelling lists are English.
check "lintian" lintian --fail-on error,warning \
  --suppress-tags spelling-error-in-changelog,typo-in-manual-page "$deb"
check "desktop-file-validate" desktop-file-validate "$root/usr/share/applications/kavelo.desktop" \
  "$root/usr/share/wayland-sessions/kavelo-kiosk-session.desktop"
# Stack canaries, fortified calls, PIE, read-only relocations bound at start.
# Control-flow protection cannot pass: Debian 12's start files lack it.
check "hardening-check" hardening-check --nocfprotection "$root/usr/lib/kavelo/kavelo"
# Kavelo has no domain of its own to build a reverse-DNS id from.
check "appstreamcli validate" appstreamcli validate --no-net \
  --override=cid-desktopapp-is-not-rdns=info "$root/usr/share/metainfo/kavelo.metainfo.xml"

# For the automatic download: a loopback server, and an administrator's
# settings file in /etc/kavelo (the folder read second) for download 1 with a
# running number.
mkdir "$work/site"
echo "Inhalt der Liste" > "$work/site/liste.txt"
echo "<html><body><h1>Willkommen am Kiosk</h1></body></html>" > "$work/site/kiosk.html"
python3 - "$work/site" "$work/port" <<'PY' &
import functools, http.server, os, sys
class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        with open(sys.argv[2] + ".log", "a") as log:  # the paths asked for, one a line
            log.write(self.path + "\n")
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Quiet, directory=sys.argv[1]))
with open(sys.argv[2] + ".tmp", "w") as f:
    f.write(str(server.server_port))
os.rename(sys.argv[2] + ".tmp", sys.argv[2])
server.serve_forever()
PY
server_pid=$!
for _ in $(seq 100); do [ -f "$work/port" ] && break; sleep 0.1; done

mkdir -p "$work/etc/kavelo"
python3 - "$work/etc/kavelo/Einstell.DAT" "http://127.0.0.1:$(cat "$work/port")/liste.txt" <<'PY'
import struct, sys
record = bytearray(7990)
def word(offset, value): struct.pack_into("<H", record, offset, value)
def text(offset, value):
    data = value.encode("cp1252")
    record[offset] = len(data)
    record[offset + 1:offset + 1 + len(data)] = data
word(4, 1)      # RedirectDownloads: the download folders are set up
word(14, 1)     # DownloadAttempts
word(16, 1)     # Download1Suffix: running number
word(24, 7)     # Download1Counter
word(32, 99)    # MaxVersions
text(1078, "Liste.txt")  # Download1Target, relative to the current folder
text(1334, sys.argv[2])  # Download1Url
open(sys.argv[1], "wb").write(record)
PY
# From here on the package's /usr is the system's, and /etc holds the
# administrator's settings file besides the system's own. /usr can be written
# here, as root can write it on an installed system: the program must not.
mkdir "$work/usr-upper" "$work/usr-work"
mount -t overlay kavelo-package -o "lowerdir=$root/usr:/usr,upperdir=$work/usr-upper,workdir=$work/usr-work" /usr
mkdir "$work/etc-upper" "$work/etc-work"
mount -t overlay kavelo-preset -o "lowerdir=$work/etc:/etc,upperdir=$work/etc-upper,workdir=$work/etc-work" /etc
program=/usr/lib/kavelo

# verify also reports lines it could not parse, but still ends with success.
# systemd-analyze gives the kiosk session's template an instance of its own.
units_verify_silently() {
  local out status=0
  mkdir -m 700 "$work/runtime"
  out=$(XDG_RUNTIME_DIR="$work/runtime" systemd-analyze --user verify /usr/lib/systemd/user/kavelo-kiosk.service 2>&1) \
    || status=$?
  out+=$(systemd-analyze verify /usr/lib/systemd/system/kavelo-kiosk-session@.service 2>&1) || status=$?
  echo "$out"
  [ "$status" -eq 0 ] && [ -z "$out" ]
}
check "systemd-analyze verify" units_verify_silently

man_page_opens() {
  MANPAGER=cat MANWIDTH=80 LC_ALL=C.UTF-8 man kavelo | grep -q 'RÜCKGABEWERT'
}
check "man kavelo" man_page_opens

# A run of the program without a display, with a private home and nothing else
# from the environment.
run_kavelo() {
  local home=$1
  shift
  mkdir -p "$home"
  env -i PATH=/usr/bin:/bin HOME="$home" LANG=C.UTF-8 timeout 60 /usr/bin/kavelo "$@"
}

help_and_version_open_no_window() {
  local out
  out=$(run_kavelo "$work/home-version" --version)
  [ "$out" = "Kavelo $version" ] || { echo "--version: $out"; return 1; }
  out=$(run_kavelo "$work/home-help" --help)
  if ! grep -q '^Aufruf: kavelo' <<< "$out" || ! grep -q '^Rückgabewert:' <<< "$out"; then
    echo "--help: $out"
    return 1
  fi
  # No window, no web engine: nothing was written into either home.
  [ -z "$(ls -A "$work/home-version")" ] && [ -z "$(ls -A "$work/home-help")" ]
}
check "--help and --version" help_and_version_open_no_window

folder_state() { (cd "$program" && ls -la --time-style=full-iso . && sha256sum ./*); }
before=$(folder_state)

automatic_download_from_the_installed_folder() {
  local home=$work/home own status
  own=$home/.local/share/Kavelo
  status=0
  run_kavelo "$home" 1 || status=$?
  [ "$status" -eq 0 ] || { echo "exit status $status"; return 1; }
  # The default download folder and the current folder are the person's own.
  [ "$(cat "$own/Downloads/Liste7.txt")" = "Inhalt der Liste" ] || { ls -R "$home"; return 1; }
  [ "$(stat -c %s "$own/Einstell.DAT")" -eq 7990 ] || { echo "no settings in $own"; return 1; }
  # The person's settings and host store hold the scrambled passwords and the folders: theirs alone.
  [ "$(stat -c %a "$own/Einstell.DAT" "$home/.config/Kavelo/host-registry.ini")" = "$(printf '600\n600')" ] \
    || { echo "settings or host store readable by others"; return 1; }
  # A download run without a window makes no web profile.
  [ ! -e "$own/QtWebEngine" ] && [ ! -e "$home/.cache/Kavelo" ] || { echo "a web profile was made"; return 1; }
  [ "$(od -An -tu2 -j24 -N2 "$own/Einstell.DAT" | tr -d ' ')" -eq 8 ] || { echo "counter not saved"; return 1; }
  [ "$(folder_state)" = "$before" ] || { echo "$program changed"; return 1; }
}
check "kavelo 1 from the installed folder, which it could write" automatic_download_from_the_installed_folder

# The kiosk as the README sets it up: the administrator's preset, imported
# onto the defaults as the settings dialog would save them, and an account of
# its own (nobody here) that has no settings yet: its viewer shows the home
# page, and no box holds it. Needs a real root to become another user.
kiosk_account_sees_the_home_page_without_a_box() {
  local home=$work/kiosk display pid status windows
  if ! awk '$1 == 0 && $2 == 0 { found = 1 } END { exit !found }' /proc/self/uid_map; then
    echo "skipped: not root"
    return 0
  fi
  rm -f /etc/kavelo/Einstell.DAT
  printf 'HomePage=http://127.0.0.1:%s/kiosk.html\nMaySurf=0\n' "$(cat "$work/port")" \
    | (umask 022 && kavelo --import-settings - /etc/kavelo/Einstell.DAT) || return 1
  chmod 755 "$work"
  mkdir -m 700 "$home" && chown nobody: "$home"
  coproc xvfb { Xvfb -displayfd 1 -noreset -nolisten tcp 2> /dev/null; }
  read -r -t 15 display <&"${xvfb[0]}" || { echo "no Xvfb"; return 1; }
  setpriv --reuid=nobody --regid=nogroup --clear-groups \
    env -i PATH=/usr/bin:/bin HOME="$home" LANG=C.UTF-8 DISPLAY=":$display" /usr/bin/kavelo 0 &
  pid=$!
  for _ in $(seq 600); do grep -q '^/kiosk.html$' "$work/port.log" 2> /dev/null && break; sleep 0.1; done
  # Asked for after the start-up: a box of the start-up would have come before it.
  windows=$(DISPLAY=":$display" xdotool search --onlyvisible --pid "$pid" --name . getwindowname %@ 2> /dev/null)
  kill -TERM "$pid"
  status=0
  wait "$pid" || status=$?
  kill "$xvfb_PID"
  grep -q '^/kiosk.html$' "$work/port.log" || { echo "the home page was not asked for"; return 1; }
  [[ "$windows" == "Kavelo - der MiniBrowser"* && "$windows" != *$'\n'* ]] || { echo "windows: $windows"; return 1; }
  [ "$status" -eq 143 ] || { echo "exit status $status"; return 1; }
}
check "the kiosk account sees the preset's home page without a box" kiosk_account_sees_the_home_page_without_a_box

echo "Paket: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
