#!/usr/bin/env bash
# Builds the program and starts it on the demo installation in demo/ (not versioned):
# demo/hklm.reg stands in for the machine's registry and names demo/install as the
# installation directory, whose SERVIDORES.cfg offers the demo server, the folder
# demo/company (an embedded-engine server: its companies live under demo/company/datos/).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
"$root/scripts/build.sh"

demo="$root/demo"
mkdir -p "$demo/install" "$demo/company"

# A registry export: backslashes and quotes inside a string are escaped with a backslash.
reg_string() { printf '%s' "$1" | sed -e 's/\\/\\\\/g' -e 's/"/\\"/g'; }
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\QZT\\Kalmora2018]\r\n"Directorio"="%s"\r\n' \
  "$(reg_string "$demo/install")" > "$demo/hklm.reg"
# Every server line ends with a line end: a last line without one is not offered.
printf '%s\r\n' "$demo/company" > "$demo/install/SERVIDORES.cfg"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "run-demo: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set)." >&2
  exit 1
fi
KALMORA_HKLM="$demo/hklm.reg" exec "$root/build/contabiliza-pos" "$@"
