#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, run and test both programs.
# Only packages that are missing are installed; safe to run again.
set -euo pipefail
packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-serialport-dev libqt6sql6-sqlite libqt6sql6-mysql
  libfreexl-dev
  mariadb-server mariadb-client libmariadb-dev
  socat xvfb fonts-dejavu-core
  mdbtools help2man desktop-file-utils
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
