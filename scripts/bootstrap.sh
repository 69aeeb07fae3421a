#!/usr/bin/env bash
# Installs the Debian 12 packages the build needs, only those missing
# (clang and its libFuzzer runtime for the fuzz targets, scripts/fuzz.sh),
# and any further packages named as arguments (e.g. the screenshot tools).
# Safe to run any number of times.
set -euo pipefail

packages=(cmake g++ ninja-build pkg-config qtbase5-dev qttools5-dev qttools5-dev-tools
          libtiff-dev libfftw3-dev libeigen3-dev libgtest-dev libbenchmark-dev ccache libhdf5-dev
          clang libclang-rt-14-dev "$@")
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
