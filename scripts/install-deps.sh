#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Installs the Debian packages that building, running and testing need, when missing.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config clang-format
  qt6-base-dev libgl1-mesa-dev
  firebird3.0-server-core firebird3.0-server firebird3.0-utils libfbclient2 firebird-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation xvfb xauth
  openbox libxtst-dev locales   # the real-display tests: a window manager, XTest, es_CO/es_ES
  dpkg-dev desktop-file-utils   # the Debian package: its dependencies, its menu entry's check
  mmdebstrap                    # the Debian root of its own that the package is tested in
  lintian appstream             # Debian's checks of the package and of its AppStream metainfo
  clang libclang-rt-dev   # libFuzzer and the sanitizers, for scripts/fuzz.sh
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
# The server package asks for a SYSDBA password unless told not to; its own service
# start fails harmlessly where there is no init system.
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
