#!/usr/bin/env bash
# Builds the Debian package, installs it as on a user's machine (dpkg -i, then apt-get -f
# install for what it depends on), checks that the installed programs start, that the
# collection unit's command collects from an emulated terminal, and removes the package.
# Usage: scripts/package-check.sh [BUILD_FOLDER]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
export DEBIAN_FRONTEND=noninteractive

# The package takes what the targets below built; the install step must not build every test.
cmake -S . -B "$BUILD" -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target selvanor cardpush terminal-emulator \
  selvanor-xls-reader man_pages
rm -f "$BUILD"/selvano_*.deb
(cd "$BUILD" && cpack -G DEB >/dev/null)
DEB=$(ls "$BUILD"/selvano_*.deb)
echo "package: $DEB"
dpkg-deb --field "$DEB" Depends Recommends

WORK=$(mktemp -d /tmp/selvano-package.XXXXXX)
EMULATOR=
cleanup() {
  if [ -n "$EMULATOR" ]; then
    kill "$EMULATOR" 2>/dev/null || true
    wait "$EMULATOR" 2>/dev/null || true
  fi
  dpkg -r selvano >/dev/null 2>&1 || true
  rm -rf "$WORK"
}
trap cleanup EXIT
fail() { echo "package check: $*" >&2; exit 1; }

dpkg -i "$DEB" || true
apt-get -f install -y -qq
dpkg-query -W -f='${Status}\n' selvano | grep -q 'install ok installed' || fail "not installed"

for program in selvanor cardpush terminal-emulator selvanor-xls-reader; do
  [ -x "/usr/bin/$program" ] || fail "/usr/bin/$program missing"
done
for program in selvanor cardpush terminal-emulator; do
  "$program" --help | grep -q "$program" || fail "$program --help"
  ls /usr/share/man/man1/"$program".1* >/dev/null 2>&1 || fail "no manual page $program(1)"
done
for file in applications/selvanor.desktop applications/cardpush.desktop \
  icons/hicolor/scalable/apps/selvanor.svg doc/selvano/kullanim-kilavuzu.md; do
  [ -f "/usr/share/$file" ] || fail "/usr/share/$file missing"
done
[ -f /usr/lib/systemd/user/selvanor-collect.timer ] || [ -f /lib/systemd/user/selvanor-collect.timer ] ||
  fail "timer unit missing"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate /usr/share/applications/selvanor.desktop /usr/share/applications/cardpush.desktop
fi

# Both windows as the desktop entries start them (no --folder), for a user with a fresh home:
# still running after two seconds (timeout's 124) is a start.
export HOME="$WORK/home" XDG_RUNTIME_DIR="$WORK/run" QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
for entry in selvanor cardpush; do
  command=$(sed -n 's/^Exec=//p' "/usr/share/applications/$entry.desktop")
  status=0
  timeout 2 $command >"$WORK/$entry.out" 2>&1 || status=$?
  [ "$status" -eq 124 ] || { cat "$WORK/$entry.out"; fail "$entry window ended with $status"; }
done
[ -f "$HOME/.local/share/selvanor/Data.db" ] || fail "no terminal list in the user's folder"

# The collection unit's command against an emulated terminal, in the folder the unit uses.
FOLDER="$HOME/.local/share/selvanor"
echo '{"device_number": 1, "password": "0", "users": [], "records": []}' >"$WORK/state.json"
terminal-emulator --state "$WORK/state.json" --listen 127.0.0.1:0 --generate-records 50 \
  >"$WORK/emulator.out" &
EMULATOR=$!
for _ in $(seq 100); do
  grep -q '^listening on ' "$WORK/emulator.out" && break
  sleep 0.1
done
PORT=$(sed -n 's/^listening on .*:\([0-9]*\)$/\1/p' "$WORK/emulator.out" | head -n1)
[ -n "$PORT" ] || fail "the emulated terminal did not start"
selvanor terminal --folder "$FOLDER" add --name Merkez --type ethernet --ip 127.0.0.1 \
  --port "$PORT" --number 1 --password 0 >/dev/null
UNIT=$(ls /usr/lib/systemd/user/selvanor-collect.service /lib/systemd/user/selvanor-collect.service 2>/dev/null | head -n1)
command=$(sed -n 's/^ExecStart=//p' "$UNIT" | sed "s|\${SELVANOR_FOLDER}|$FOLDER|")
$command || fail "collection exited with $?"
[ "$(wc -l <"$FOLDER/veri.txt")" -eq 50 ] || fail "veri.txt does not hold the 50 records"

dpkg -r selvano >/dev/null
[ ! -e /usr/bin/selvanor ] || fail "selvanor left after removal"
echo "package check: passed"
