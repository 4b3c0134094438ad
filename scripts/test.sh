#!/usr/bin/env bash
# Installs the packages, builds, and runs every test headless through CTest.
# Servers the tests need (MariaDB, emulators) are started by the tests' own fixtures.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
cd build
ctest --output-on-failure -j"$(nproc)"
