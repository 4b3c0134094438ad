#!/usr/bin/env bash
# The main job end to end: installs, builds, starts an emulated terminal holding a few thousand
# attendance records on loopback, makes a new store, adds that terminal, collects from all
# terminals and shows the first lines of veri.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target selvanor terminal-emulator

BIN=$PWD/build/bin
DEMO=${DEMO_FOLDER:-$(mktemp -d /tmp/selvanor-demo.XXXXXX)}
RECORDS=${DEMO_RECORDS:-5000}
WORK=$(mktemp -d /tmp/selvanor-terminal.XXXXXX)

# The terminal: device number 1, password 0, no users; its records are generated.
cat >"$WORK/state.json" <<'JSON'
{"device_number": 1, "password": "0", "users": [], "records": []}
JSON
"$BIN/terminal-emulator" --state "$WORK/state.json" --listen 127.0.0.1:0 \
  --generate-records "$RECORDS" >"$WORK/emulator.out" &
EMULATOR=$!
trap 'kill "$EMULATOR" 2>/dev/null || true; wait "$EMULATOR" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  grep -q '^listening on ' "$WORK/emulator.out" && break
  sleep 0.1
done
PORT=$(sed -n 's/^listening on .*:\([0-9]*\)$/\1/p' "$WORK/emulator.out" | head -n1)
[ -n "$PORT" ] || { echo "the emulated terminal did not start" >&2; exit 1; }
echo "emulated terminal with $RECORDS records on 127.0.0.1:$PORT"

"$BIN/selvanor" init --folder "$DEMO"
"$BIN/selvanor" terminal --folder "$DEMO" add --name Merkez --type ethernet \
  --ip 127.0.0.1 --port "$PORT" --number 1 --password 0
"$BIN/selvanor" collect --folder "$DEMO" --all && status=0 || status=$?
echo "selvanor collect --all: exit status $status"

echo "store folder: $DEMO"
echo "veri.txt holds $(wc -l <"$DEMO/veri.txt") lines; the first ones:"
head -n 10 "$DEMO/veri.txt"
exit "$status"
