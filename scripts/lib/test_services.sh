# Test servers on loopback, started and stopped by scripts/test. Source this file, call
# start_test_services, and stop_test_services on exit. Each server lives in a temporary folder
# and is gone afterwards.
#
# Exports:
#   QUORVAN_TEST_POSTGRES       connection string of a throw-away PostgreSQL database
#   QUORVAN_TEST_SMTP_PORT      port of an SMTP server on 127.0.0.1 that keeps every mail
#   QUORVAN_TEST_SMTP_MAILDIR   the maildir it keeps them in (new/ holds one file per mail)

_services_dir=""

_pg_bin() {
  local bin
  bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
  [ -n "$bin" ] || { echo "test services: PostgreSQL server binaries not found" >&2; return 1; }
  echo "$bin"
}

_as_postgres() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

_free_port() {
  /usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1]); s.close()'
}

start_postgres() {
  local bin port data
  bin=$(_pg_bin) || return 1
  port=$(_free_port)
  data="$_services_dir/postgres"
  mkdir -p "$data"
  [ "$(id -u)" -eq 0 ] && chown postgres "$_services_dir" "$data"
  _as_postgres "$bin/initdb" -D "$data/cluster" -A trust -U postgres -E UTF8 --locale=C.UTF-8 >"$data/initdb.log" 2>&1 \
    || { cat "$data/initdb.log" >&2; return 1; }
  _as_postgres "$bin/pg_ctl" -D "$data/cluster" -l "$data/server.log" -w -t 60 \
    -o "-p $port -k $data -c listen_addresses=127.0.0.1 -c fsync=off -c max_connections=200" start >/dev/null \
    || { cat "$data/server.log" >&2; return 1; }
  _as_postgres "$bin/createdb" -h 127.0.0.1 -p "$port" -U postgres quorvan_test
  export QUORVAN_TEST_POSTGRES="Provider=PostgreSQL;Host=127.0.0.1;Port=$port;Database=quorvan_test;User ID=postgres"
  _pg_data="$data"
  echo "test services: PostgreSQL on 127.0.0.1:$port" >&2
}

stop_postgres() {
  [ -n "${_pg_data:-}" ] || return 0
  _as_postgres "$(_pg_bin)/pg_ctl" -D "$_pg_data/cluster" -m fast -w stop >/dev/null 2>&1 || true
  _pg_data=""
}

start_smtp() {
  local port maildir
  port=$(_free_port)
  maildir="$_services_dir/smtp/maildir"
  mkdir -p "$_services_dir/smtp"
  /usr/bin/python3 -m aiosmtpd -n -l "127.0.0.1:$port" -c aiosmtpd.handlers.Mailbox "$maildir" \
    >"$_services_dir/smtp/server.log" 2>&1 &
  _smtp_pid=$!
  for _ in $(seq 1 100); do
    if /usr/bin/python3 -c "import socket; socket.create_connection(('127.0.0.1', $port), 0.2).close()" 2>/dev/null; then
      export QUORVAN_TEST_SMTP_PORT=$port QUORVAN_TEST_SMTP_MAILDIR=$maildir
      echo "test services: SMTP on 127.0.0.1:$port" >&2
      return 0
    fi
    sleep 0.1
  done
  echo "test services: the SMTP server did not start" >&2
  cat "$_services_dir/smtp/server.log" >&2
  return 1
}

stop_smtp() {
  [ -n "${_smtp_pid:-}" ] || return 0
  kill "$_smtp_pid" 2>/dev/null || true
  wait "$_smtp_pid" 2>/dev/null || true
  _smtp_pid=""
}

start_test_services() {
  _services_dir=$(mktemp -d /tmp/quorvan-services-XXXXXX)
  chmod 755 "$_services_dir"
  start_postgres
  start_smtp
}

stop_test_services() {
  stop_smtp
  stop_postgres
  [ -n "$_services_dir" ] && rm -rf "$_services_dir"
  _services_dir=""
}
