#!/usr/bin/env bash
# The Debian package, tested as a user gets it: builds the .deb from build/ (cpack), installs
# it on this machine with apt-get, checks the menu entry, the installed program's headless
# help and version, makes a demo company with the installed maker and posts a demo day
# through the private Firebird server, then removes and purges the package and checks that
# nothing of it is left. Needs root (or sudo): it installs into the system.
#
#   scripts/package-test.sh     after build/ is configured (scripts/test.sh does both)
#
# The private server of scripts/test.sh is used when KALMORA_TEST_SERVER names it; otherwise
# one is started here and stopped afterwards. The package is purged on every way out.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
"$root/scripts/install-deps.sh"

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
package=contabiliza-pos
work=$(mktemp -d /tmp/kalmora-package.XXXXXX)
server_dir=""

fail() {
  echo "package-test: $*" >&2
  exit 1
}
cleanup() {
  if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'installed\|config-files'; then
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq "$package" >/dev/null || true
  fi
  if [ -n "$server_dir" ]; then "$root/scripts/fb-test-server.sh" stop "$server_dir" || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

echo "-- package: cpack -G DEB from build/"
[ -f build/CPackConfig.cmake ] || fail "build/ is not configured (run scripts/test.sh or scripts/build.sh)"
cmake --build build -j "$(nproc)"
(cd build && cpack -G DEB -B "$work/deb" >/dev/null)
deb=$(find "$work/deb" -maxdepth 1 -name "${package}_*.deb")
[ -n "$deb" ] || fail "cpack made no .deb in $work/deb"
version=$(dpkg-deb -f "$deb" Version)
depends=$(dpkg-deb -f "$deb" Depends)
echo "$(basename "$deb"): Depends: $depends; Recommends: $(dpkg-deb -f "$deb" Recommends)"
for needed in libfbclient2 libqt6widgets6 libqt6gui6 libqt6core6; do
  [[ ", $depends," == *", $needed "* || ", $depends," == *", $needed,"* ]] \
    || fail "Depends lacks $needed"
done

echo "-- install: apt-get install ./$(basename "$deb")"
cp "$deb" "$work/"
# apt reads a local package as the _apt user: the copy must be readable by it.
chmod 0644 "$work/$(basename "$deb")"
chmod 0755 "$work"
(cd "$work" && $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$(basename "$deb")" >/dev/null)
installed=$(dpkg -L "$package")

echo "-- the menu entry"
desktop=/usr/share/applications/$package.desktop
[ -f "$desktop" ] || fail "no $desktop"
desktop-file-validate "$desktop"
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
program=$(command -v "${exec_line%% *}") || fail "Exec=$exec_line: not found in PATH"
[ "$program" = "/usr/bin/$package" ] || fail "Exec=$exec_line starts $program, not /usr/bin/$package"
for size in 16 24 32 48 64 128 256; do
  [ -f "/usr/share/icons/hicolor/${size}x${size}/apps/$package.png" ] || fail "no ${size}x${size} icon"
done
# The entry's program starts the window (offscreen here) and keeps it open until stopped.
status=0
env QT_QPA_PLATFORM=offscreen timeout 3 "$program" >/dev/null 2>&1 || status=$?
[ "$status" = 124 ] || fail "Exec=$exec_line ended by itself with status $status instead of showing the window"
zcat "/usr/share/man/man1/$package.1.gz" | grep -q '^\.SH ORDEN post' || fail "no manual page"

echo "-- the installed program without a display"
headless() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM LC_ALL=C.UTF-8 "$@"; }
[ "$(headless "$program" --version)" = "$package $version" ] || fail "--version is not $version"
headless "$program" post --help > "$work/help.txt" || fail "post --help failed"
grep -q '^Uso: contabiliza-pos post --server' "$work/help.txt" || fail "post --help: $(head -1 "$work/help.txt")"

echo "-- a demo day posted by the installed command through the private server"
if [ -z "${KALMORA_TEST_SERVER:-}" ]; then
  server_dir=$(mktemp -d /tmp/kalmora-fbserver.XXXXXX)
  eval "$("$root/scripts/fb-test-server.sh" start "$server_dir")"
fi
company="$work/company"
headless KALMORA_TEMPLATE_CACHE="$work/cache" /usr/bin/$package-make-company "$company" DEMO \
  --days 1 --invoices 3 >/dev/null
database="$company/datos/DEMO/kalmora.fdb"
day=$(isql-fb -q -user SYSDBA "$database" <<< "set list on; select max(fact_fecha) as dia from facturas;" |
  sed -n 's/^DIA *//p')
[ -n "$day" ] || fail "the demo company has no invoices"
status=0
headless KALMORA_PASSWORD="$KALMORA_TEST_PASSWORD" "$program" post \
  --server "$KALMORA_TEST_SERVER:$company" --company DEMO --user "$KALMORA_TEST_USER" \
  --all-points --date "$day" > "$work/post.txt" || status=$?
cat "$work/post.txt"
# Feria Artesanal's interface has no accounts: its errors make the status 2.
[ "$status" = 2 ] || fail "post exited with $status, not 2"
[ "$(grep -c 'Comprobante contable correctamente generado' "$work/post.txt")" = 3 ] \
  || fail "three points were not posted"
posted=$(isql-fb -q -user SYSDBA "$database" <<< \
  "set list on; select count(*) as n from comprobantes where comp_estado = 'D' and comp_fecha = '$day';" |
  sed -n 's/^N *//p')
[ "$posted" = 3 ] || fail "the company holds $posted completed vouchers of $day, not 3"

echo "-- remove, then purge"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq "$package" >/dev/null
while read -r path; do
  case "$path" in
    /etc/kalmora/*) [ -e "$path" ] || fail "remove took the configuration $path" ;;
    *) if [ -f "$path" ] || [ -L "$path" ]; then fail "remove left $path"; fi ;;
  esac
done <<< "$installed"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq "$package" >/dev/null
[ ! -e /etc/kalmora ] || fail "purge left /etc/kalmora"
echo "package-test: $(basename "$deb") installs, posts and goes away cleanly"
