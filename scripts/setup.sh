#!/usr/bin/env bash
# Installs the Debian packages the project builds with (idempotent; needs root or sudo).
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  liblua5.1-0-dev libxerces-c-dev libboost-dev libcairo2-dev libfreetype-dev libsdl2-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev libfmt-dev fonts-wine fonts-dejavu-core xvfb xdotool)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi
