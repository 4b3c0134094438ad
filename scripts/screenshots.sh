#!/usr/bin/env bash
# Photographs every window of SelvanoR and cardpush for the user guide, headless, into
# docs/screenshots/. Run again when a window changes, and commit the pictures.
# Usage: scripts/screenshots.sh [BUILD_FOLDER]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
# The windows' Turkish letters need a font that has them.
fc-list | grep -qi dejavu || { echo "screenshots: install fonts-dejavu-core" >&2; exit 1; }
cmake -S . -B "$BUILD" >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target selvanor-screenshots cardpush-screenshots
export QT_QPA_PLATFORM=offscreen LANG=C.UTF-8
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
"$BUILD/bin/selvanor-screenshots" docs/screenshots
"$BUILD/bin/cardpush-screenshots" docs/screenshots
# Smaller files for the repository, when optipng is there.
if command -v optipng >/dev/null; then optipng -quiet -o2 docs/screenshots/*.png; fi
ls -l docs/screenshots
