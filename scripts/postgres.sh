#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests: "start" installs the server if it is missing,
# makes a fresh cluster on a local port (trust for the local user tamarin, database
# tamarin_test) and prints its URL; "stop" stops it and removes it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
dir=${TAMARIN_PG_DIR:-/tmp/tamarin-pg}
port=${TAMARIN_PG_PORT:-55432}
as_server() {
  # The server refuses to run as root.
  if [ "$(id -u)" = 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}
case "${1:-}" in
start)
  "$here/install-deps.sh" "$here/packages-server.txt" >&2
  bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)
  rm -rf "$dir"
  mkdir -p "$dir"
  if [ "$(id -u)" = 0 ]; then chown postgres:postgres "$dir"; fi
  as_server "$bin/initdb" -D "$dir/data" --auth=trust -U tamarin --encoding=UTF8 --locale=C.UTF-8 >/dev/null
  as_server "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w \
    -o "-p $port -k $dir -c listen_addresses=127.0.0.1" start >/dev/null
  as_server "$bin/createdb" -h 127.0.0.1 -p "$port" -U tamarin tamarin_test
  echo "postgresql://tamarin@127.0.0.1:$port/tamarin_test"
  ;;
stop)
  bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
  if [ -n "$bin" ] && [ -d "$dir/data" ]; then
    as_server "$bin/pg_ctl" -D "$dir/data" -m fast -w stop >/dev/null || true
  fi
  rm -rf "$dir"
  ;;
*)
  echo "usage: $0 start|stop" >&2
  exit 2
  ;;
esac
