#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# A private Firebird server on loopback for the tests that need a login.
#
#   scripts/fb-test-server.sh start DIR   # prints the export lines the tests read
#   scripts/fb-test-server.sh stop DIR    # stops it and removes DIR
#
# DIR becomes the server's root: links to the packaged plugins and messages, its own
# security database with one test login, its own firebird.conf (a free port on
# 127.0.0.1, its own IPC name), lock folder and log. The server runs in the background
# with FIREBIRD=DIR, so it touches no other Firebird server on this machine; `stop`
# ends exactly the process that `start` recorded in DIR/server.pid.
#
# `start` prints, for `eval`:
#   export KALMORA_TEST_SERVER=localhost/PORT   (a database is KALMORA_TEST_SERVER:/path)
#   export KALMORA_TEST_USER=...
#   export KALMORA_TEST_PASSWORD=...
set -euo pipefail

fb_home=/usr/lib/x86_64-linux-gnu/firebird/3.0
packaged_security=/var/lib/firebird/3.0/system/security3.fdb
server_bin=/usr/sbin/firebird
test_user=KALMORA_TEST
test_password=kalmora-test-1

die() {
  echo "fb-test-server: $*" >&2
  exit 1
}

# True while something accepts TCP connections on 127.0.0.1:$1.
port_open() {
  (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

port_free() {
  ! port_open "$1" && ! grep -qi ":$(printf '%04X' "$1") " /proc/net/tcp /proc/net/tcp6 2>/dev/null
}

# Runs a command in the private server's environment.
in_root() {
  env FIREBIRD="$root" FIREBIRD_LOCK="$root/lock" FIREBIRD_TMP="$root/tmp" "$@"
}

write_conf() {
  cat >"$root/firebird.conf" <<EOF
RemoteServicePort = $1
RemoteBindAddress = 127.0.0.1
IpcName = kalmora_test_$1
SecurityDatabase = $root/security3.fdb
AuthServer = Srp256, Srp
UserManager = Srp
WireCrypt = Enabled
RemoteAuxPort = 0
GuardianOption = 0
EOF
}

server_pid() {
  [ -f "$root/server.pid" ] && cat "$root/server.pid"
}

# True while process $1 runs (a zombie waiting for its parent counts as ended).
running() {
  local state
  state=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) || return 1
  [ -n "$state" ] && [ "$state" != Z ]
}

stop_server() {
  local pid
  pid=$(server_pid) || return 0
  if running "$pid"; then
    # The server often ignores SIGTERM while idle; its data is throwaway, so after a
    # short grace it is killed.
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 20); do
      running "$pid" || break
      sleep 0.1
    done
    if running "$pid"; then kill -9 "$pid" 2>/dev/null || true; fi
  fi
  rm -f "$root/server.pid"
}

start() {
  [ -x "$server_bin" ] || die "$server_bin is missing (firebird3.0-server)"
  mkdir -p "$root"
  root=$(cd "$root" && pwd)
  [ ! -f "$root/server.pid" ] || die "$root already holds a server"
  mkdir -p "$root/lock" "$root/tmp"
  for item in plugins intl lib UDF firebird.msg plugins.conf; do
    ln -sfn "$fb_home/$item" "$root/$item"
  done
  : >"$root/databases.conf"

  # The test login lives in a copy of the packaged security database; where that
  # copy cannot be read (not root), a new one is made the same way.
  rm -f "$root/security3.fdb"
  if ! cp "$packaged_security" "$root/security3.fdb" 2>/dev/null; then
    echo "CREATE DATABASE '$root/security3.fdb';" \
      | in_root isql-fb -q -user SYSDBA >/dev/null || die "cannot create $root/security3.fdb"
  fi
  chmod 600 "$root/security3.fdb"
  write_conf 3050
  in_root isql-fb -q -bail -user SYSDBA "$root/security3.fdb" >"$root/setup.log" 2>&1 <<EOF \
    || die "cannot create the test login: $(cat "$root/setup.log")"
CREATE OR ALTER USER $test_user PASSWORD '$test_password' USING PLUGIN Srp;
COMMIT;
EOF
  # A database to prove that the login works through the server.
  echo "CREATE DATABASE '$root/probe.fdb';" | in_root isql-fb -q -user SYSDBA >/dev/null \
    || die "cannot create $root/probe.fdb"

  # A free port; a port taken between the check and the bind makes the server fail,
  # and the next candidate is tried.
  local port pid tries=0
  while :; do
    tries=$((tries + 1))
    [ "$tries" -le 10 ] || die "no free port for the server"
    port=$((20000 + RANDOM % 30000))
    port_free "$port" || continue
    write_conf "$port"
    # Started directly (not through a function) so that $! is the server itself.
    FIREBIRD="$root" FIREBIRD_LOCK="$root/lock" FIREBIRD_TMP="$root/tmp" \
      "$server_bin" </dev/null >"$root/server.log" 2>&1 &
    pid=$!
    echo "$pid" >"$root/server.pid"
    # Bounded wait: up to 10 s for the port to accept connections.
    for _ in $(seq 100); do
      port_open "$port" && break
      running "$pid" || break
      sleep 0.1
    done
    if port_open "$port" && running "$pid"; then
      break
    fi
    stop_server
  done

  local check
  check=$(echo "SELECT 'LOGIN-OK' FROM RDB\$DATABASE;" \
    | timeout 20 isql-fb -q -user "$test_user" -password "$test_password" \
      "localhost/$port:$root/probe.fdb" 2>&1) || true
  if [[ $check != *LOGIN-OK* ]]; then
    stop_server
    die "the server on port $port does not accept the test login: $check"
  fi

  echo "export KALMORA_TEST_SERVER=localhost/$port"
  echo "export KALMORA_TEST_USER=$test_user"
  echo "export KALMORA_TEST_PASSWORD=$test_password"
}

stop() {
  [ -d "$root" ] || return 0
  root=$(cd "$root" && pwd)
  stop_server
  rm -rf "$root"
}

[ $# -eq 2 ] || {
  echo "usage: $0 start|stop DIR" >&2
  exit 2
}
root=$2
case "$1" in
  start) start ;;
  stop) stop ;;
  *)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
