#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# The Debian package, tested as a user gets it, in a Debian root of its own that is thrown
# away afterwards: nothing is installed, removed or configured on this machine. Builds the
# .deb from build/ (cpack), installs it in the root with apt-get (its dependencies come from
# the registry, as a user's would), checks the menu entry, the icons, the manual pages, the
# installed program's help and version and its window (offscreen), makes a demo company with
# the installed maker and posts a demo day through the private Firebird server on loopback,
# then removes and purges the package there and checks that nothing of it is left.
#
#   scripts/package-test.sh     after build/ is configured (scripts/test.sh does both)
#
# The root is made once with mmdebstrap from this machine's apt sources, with the package's
# dependencies already in it, and cached as build/package-root.tar; each run unpacks a fresh
# copy. Making and entering it needs root rights (or sudo without a password): without them
# the stage says so in one line and is skipped; it never falls back to this machine. Before
# and after, the stage checks that this machine's installed package and /etc/kalmora are
# exactly as they were.
#
# The private server of scripts/test.sh is used when KALMORA_TEST_SERVER names it; otherwise
# one is started here and stopped afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
package=contabiliza-pos

fail() {
  echo "package-test: $*" >&2
  exit 1
}
skip() {
  echo "package-test: skipped: $*"
  exit 0
}

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo -n true 2>/dev/null || skip "no root rights to make and enter a Debian root of its own"
  sudo="sudo -n"
fi
"$root/scripts/install-deps.sh"

# What this machine holds of the package, to be found exactly so afterwards.
host_state() {
  dpkg-query -W -f='${Status} ${Version}\n' "$package" 2>/dev/null || echo "not installed"
  if [ -d /etc/kalmora ]; then (cd /etc/kalmora && find . -type f -exec sha256sum {} + | sort); fi
}
host_before=$(host_state)

work=$(mktemp -d /tmp/kalmora-package.XXXXXX)
chmod 0755 "$work"
target="$work/root"
server_dir=""
cleanup() {
  for mount in "$target/dev" "$target/proc"; do
    if mountpoint -q "$mount" 2>/dev/null; then $sudo umount -R -l "$mount" || true; fi
  done
  if [ -n "$server_dir" ]; then "$root/scripts/fb-test-server.sh" stop "$server_dir" || true; fi
  $sudo rm -rf "$work"
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

echo "-- Debian's checks: lintian, the AppStream metainfo"
# Any error or warning fails; packaging/lintian-overrides lists, each with its reason, the tags
# that are wrong for this package (installed as the package's own overrides).
lintian --fail-on error,warning --tag-display-limit 0 "$deb" || fail "lintian: see above"
dpkg-deb -x "$deb" "$work/contents"
metainfo=$(find "$work/contents/usr/share/metainfo" -name '*.metainfo.xml')
[ -n "$metainfo" ] || fail "no AppStream metainfo in the package"
appstreamcli validate --no-net --explain "$metainfo" || fail "appstreamcli: see above"

in_root() { $sudo chroot "$target" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LC_ALL=C.UTF-8 \
  DEBIAN_FRONTEND=noninteractive "$@"; }
enter_root() {
  $sudo mkdir -p "$target"
  $sudo tar -xf "$1" -C "$target"
  $sudo mount -t proc proc "$target/proc"
  $sudo mount --rbind /dev "$target/dev"
  # Names as this machine resolves them: the registry, and "localhost" for the test server.
  $sudo cp /etc/resolv.conf "$target/etc/resolv.conf"
  $sudo cp /etc/hosts "$target/etc/hosts"
}

cache=build/package-root.tar
if [ ! -f "$cache" ]; then
  echo "-- the Debian root: mmdebstrap from this machine's apt sources (once, cached in $cache)"
  sources=()
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    if [ -s "$file" ] && grep -q '^[^#]' "$file"; then sources+=("$file"); fi
  done
  [ ${#sources[@]} -gt 0 ] || fail "this machine has no apt sources to make the root from"
  suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
  $sudo mmdebstrap --quiet --variant=apt --mode=root --aptopt='Acquire::Check-Valid-Until "false"' \
    "$suite" "$work/base.tar" "${sources[@]}" \
    || skip "mmdebstrap could not make a Debian root here"
  enter_root "$work/base.tar"
  $sudo cp "$deb" "$target/tmp/"
  # The package's dependencies and recommendations stay in the cached root; the package goes.
  in_root apt-get update -qq
  in_root apt-get install -y -qq desktop-file-utils "/tmp/$(basename "$deb")" >/dev/null
  in_root apt-get purge -y -qq "$package" >/dev/null
  in_root apt-get clean
  $sudo rm -f "$target/tmp/$(basename "$deb")"
  $sudo umount -R -l "$target/dev" "$target/proc"
  $sudo tar -cf "$cache.part" -C "$target" .
  $sudo chown "$(id -u):$(id -g)" "$cache.part"
  mv "$cache.part" "$cache"
  $sudo rm -rf "$target"
fi
enter_root "$cache"

echo "-- install: apt-get install ./$(basename "$deb") in the root"
$sudo cp "$deb" "$target/tmp/"
$sudo chmod 0644 "$target/tmp/$(basename "$deb")"
in_root apt-get install -y -qq "/tmp/$(basename "$deb")" >/dev/null \
  || { in_root apt-get update -qq && in_root apt-get install -y -qq "/tmp/$(basename "$deb")" >/dev/null; } \
  || fail "apt-get install of the package failed in the root"
installed=$(in_root dpkg -L "$package")

echo "-- the menu entry, icons and manual pages"
desktop=/usr/share/applications/$package.desktop
in_root test -f "$desktop" || fail "no $desktop"
in_root desktop-file-validate "$desktop"
exec_line=$(in_root sed -n 's/^Exec=//p' "$desktop")
program=$(in_root sh -c "command -v ${exec_line%% *}") || fail "Exec=$exec_line: not found in PATH"
[ "$program" = "/usr/bin/$package" ] || fail "Exec=$exec_line starts $program, not /usr/bin/$package"
for size in 16 24 32 48 64 128 256; do
  in_root test -f "/usr/share/icons/hicolor/${size}x${size}/apps/$package.png" || fail "no ${size}x${size} icon"
done
# The entry's program starts the window (offscreen here) and keeps it open until stopped.
status=0
in_root env QT_QPA_PLATFORM=offscreen timeout 3 "$program" >/dev/null 2>&1 || status=$?
[ "$status" = 124 ] || fail "Exec=$exec_line ended by itself with status $status instead of showing the window"
in_root sh -c "zcat /usr/share/man/man1/$package.1.gz" | grep -q '^\.SH ORDEN post' || fail "no manual page"

echo "-- the installed program without a display"
[ "$(in_root "$program" --version)" = "$package $version" ] || fail "--version is not $version"
in_root "$program" post --help > "$work/help.txt" || fail "post --help failed"
grep -q '^Uso: contabiliza-pos post --server' "$work/help.txt" || fail "post --help: $(head -1 "$work/help.txt")"

echo "-- a demo day posted by the installed command through the private server"
if [ -z "${KALMORA_TEST_SERVER:-}" ]; then
  server_dir=$(mktemp -d /tmp/kalmora-fbserver.XXXXXX)
  eval "$("$root/scripts/fb-test-server.sh" start "$server_dir")"
fi
# Made in the root by its maker; the server on loopback (this machine's private one) reaches
# the same file through the root's folder.
company=/srv/demo
in_root env KALMORA_TEMPLATE_CACHE=/tmp/cache "/usr/bin/$package-make-company" "$company" DEMO \
  --days 1 --invoices 3 >/dev/null
database="$company/datos/DEMO/kalmora.fdb"
day=$(in_root isql-fb -q -user SYSDBA "$database" <<< "set list on; select max(fact_fecha) as dia from facturas;" |
  sed -n 's/^DIA *//p')
[ -n "$day" ] || fail "the demo company has no invoices"
status=0
in_root env KALMORA_PASSWORD="$KALMORA_TEST_PASSWORD" "$program" post \
  --server "$KALMORA_TEST_SERVER:$target$company" --company DEMO --user "$KALMORA_TEST_USER" \
  --all-points --date "$day" > "$work/post.txt" || status=$?
cat "$work/post.txt"
# Feria Artesanal's interface has no accounts: its errors make the status 2.
[ "$status" = 2 ] || fail "post exited with $status, not 2"
[ "$(grep -c 'Comprobante contable correctamente generado' "$work/post.txt")" = 3 ] \
  || fail "three points were not posted"
posted=$(in_root isql-fb -q -user SYSDBA "$database" <<< \
  "set list on; select count(*) as n from comprobantes where comp_estado = 'D' and comp_fecha = '$day';" |
  sed -n 's/^N *//p')
[ "$posted" = 3 ] || fail "the company holds $posted completed vouchers of $day, not 3"

echo "-- remove, then purge, in the root"
in_root apt-get remove -y -qq "$package" >/dev/null
while read -r path; do
  case "$path" in
    /etc/kalmora/*) in_root test -e "$path" || fail "remove took the configuration $path" ;;
    *) if in_root test -f "$path" || in_root test -L "$path"; then fail "remove left $path"; fi ;;
  esac
done <<< "$installed"
in_root apt-get purge -y -qq "$package" >/dev/null
! in_root test -e /etc/kalmora || fail "purge left /etc/kalmora"

[ "$(host_state)" = "$host_before" ] || fail "this machine's $package or /etc/kalmora changed"
echo "package-test: $(basename "$deb") installs, posts and goes away cleanly in a root of its own; this machine is as it was"
