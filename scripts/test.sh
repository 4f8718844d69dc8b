#!/usr/bin/env bash
# Builds and runs every test. Starts a private Firebird server on loopback for the
# tests that need a login, and stops it afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
"$root/scripts/build.sh"

server_dir=""
cleanup() {
  if [ -n "$server_dir" ]; then "$root/scripts/fb-test-server.sh" stop "$server_dir" || true; fi
}
trap cleanup EXIT

if [ -x "$root/scripts/fb-test-server.sh" ]; then
  server_dir=$(mktemp -d /tmp/kalmora-fbserver.XXXXXX)
  # Prints the variables the server tests read (KALMORA_TEST_SERVER and friends); a
  # server that does not start fails the run instead of letting those tests skip.
  exports=$("$root/scripts/fb-test-server.sh" start "$server_dir")
  eval "$exports"
fi

ctest --test-dir build --output-on-failure -j 2 "$@"
