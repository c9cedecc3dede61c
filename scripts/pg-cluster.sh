#!/usr/bin/env bash
# A throwaway PostgreSQL server for tests and benchmarks, reached only through a Unix socket in
# its own folder:
#   scripts/pg-cluster.sh start DIR   creates DIR, starts a server there, prints its libpq conninfo
#   scripts/pg-cluster.sh stop DIR    stops that server at once and removes DIR
#   scripts/pg-cluster.sh restart DIR restarts that server, dropping every connection to it
# The server refuses to run as root, so under root it runs as the postgres user. Durability is
# switched off: nothing in DIR outlives the run.
set -euo pipefail
action=${1:-}
dir=${2:-}
if [[ -z "$dir" || ! "$action" =~ ^(start|stop|restart)$ ]]; then
  echo "usage: $0 start|stop|restart DIR" >&2
  exit 2
fi
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)
if [[ -z "$bin" ]]; then
  echo "$0: no PostgreSQL server installed (Debian package postgresql)" >&2
  exit 1
fi
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}
if [[ "$action" == stop ]]; then
  if [[ -f "$dir/data/postmaster.pid" ]]; then
    as_owner "$bin/pg_ctl" stop -D "$dir/data" -m immediate -s >/dev/null 2>&1 || true
  fi
  rm -rf "$dir"
  exit 0
fi
if [[ "$action" == restart ]]; then
  as_owner "$bin/pg_ctl" restart -D "$dir/data" -w -s -m fast -l "$dir/server.log" >/dev/null
  exit 0
fi
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
chmod 700 "$dir"
[ "$(id -u)" -eq 0 ] && chown postgres: "$dir"
as_owner "$bin/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 || {
  cat "$dir/initdb.log" >&2
  exit 1
}
as_owner "$bin/pg_ctl" start -D "$dir/data" -w -s -l "$dir/server.log" \
  -o "-k $dir -c listen_addresses='' -c fsync=off -c full_page_writes=off -c synchronous_commit=off -c max_connections=200" || {
  cat "$dir/server.log" >&2
  exit 1
}
echo "host=$dir user=postgres"
