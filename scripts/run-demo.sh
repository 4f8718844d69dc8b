#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Builds the program and starts it on the demo installation in demo/ (not versioned):
# demo/hklm.reg stands in for the machine's registry and names demo/install as the
# installation directory, whose SERVIDORES.cfg offers the demo server, the folder
# demo/company (an embedded-engine server: its companies live under demo/company/datos/).
# The demo company 01 is made there the first time. Log in with user SYSDBA, any
# password, company 01.
#
#   scripts/run-demo.sh             prepare, build, start
#   scripts/run-demo.sh --prepare   only prepare demo/ (for a build of one's own: run it with
#                                   KALMORA_HKLM=demo/hklm.reg)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

prepare_only=false
if [ "${1:-}" = "--prepare" ]; then
  prepare_only=true
  shift
fi

demo="$root/demo"
mkdir -p "$demo/install" "$demo/company"

# A registry export: backslashes and quotes inside a string are escaped with a backslash.
reg_string() { printf '%s' "$1" | sed -e 's/\\/\\\\/g' -e 's/"/\\"/g'; }
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\QZT\\Kalmora2018]\r\n"Directorio"="%s"\r\n' \
  "$(reg_string "$demo/install")" > "$demo/hklm.reg"
# Every server line ends with a line end: a last line without one is not offered.
printf '%s\r\n' "$demo/company" > "$demo/install/SERVIDORES.cfg"

if [ ! -f "$demo/company/datos/01/kalmora.fdb" ]; then
  "$root/scripts/install-deps.sh"
  "$root/db/make-company" "$demo/company" 01
fi

if $prepare_only; then
  echo "demo installation ready: KALMORA_HKLM=$demo/hklm.reg"
  exit 0
fi

"$root/scripts/build.sh"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<MSG
run-demo: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set).
Without a window, the same posting runs from the command line; on the demo company:

  KALMORA_PASSWORD=demo $root/build/contabiliza-pos post --server $demo/company \\
      --company 01 --user SYSDBA --point "Almacén Principal"

(exit status 0: voucher generated, 1: nothing to post, 2: errors listed, 3: failure)
MSG
  exit 1
fi
echo "run-demo: log in with user SYSDBA, any password, company 01."
KALMORA_HKLM="$demo/hklm.reg" exec "$root/build/contabiliza-pos" "$@"
