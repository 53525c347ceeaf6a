#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the screenshots, the fuzzers, the
# function-length check and the Debian package need, skipping the ones already present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-svg-dev libqcustomplot-dev libqcustomplot2.1-qt6
  libfftw3-dev libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev libx11-dev
  xvfb xauth imagemagick xdotool fonts-dejavu-core openbox x11-utils
  clang-14 libclang-rt-14-dev clang-tidy-14
  dpkg-dev file desktop-file-utils appstream-util lintian systemd
  gcovr
  python3-pyvisa python3-pyvisa-py python3-numpy
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
