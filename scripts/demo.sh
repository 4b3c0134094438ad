#!/usr/bin/env bash
# The main job on the embedded default: installs, builds, makes a new store and starts SelvanoR
# headless on it. (Grows into the full download demo once collection lands.)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
DEMO=${DEMO_FOLDER:-$(mktemp -d /tmp/selvanor-demo.XXXXXX)}
./build/bin/selvanor init --folder "$DEMO" || true
echo "store folder: $DEMO"
