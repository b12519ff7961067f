#!/bin/sh
# Starts or stops a private PostgreSQL cluster for the database tests and registers it as ODBC
# data sources in <folder>/odbcinst.ini and <folder>/odbc.ini (communication log off).
#   postgres-fixture.sh start <folder>
#   postgres-fixture.sh stop <folder>
# Outside CI a server that cannot start is reported and the PostgreSQL tests skip; with CI=true
# it fails the run.
set -u

action=${1:?start or stop}
folder=${2:?folder}
pgbin=${TESSORY_PG_BIN:-/usr/lib/postgresql/15/bin}
driver=${TESSORY_PSQLODBC:-/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so}
data="$folder/cluster"

as_owner() {
    if [ "$(id -u)" = 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

give_up() {
    echo "postgres-fixture: $1" >&2
    [ -f "$folder/server.log" ] && tail -n 20 "$folder/server.log" >&2
    rm -f "$folder/odbc.ini" "$folder/odbcinst.ini"
    if [ "${CI:-}" = true ]; then
        echo "postgres-fixture: CI=true, the PostgreSQL tests must run: failing" >&2
        exit 1
    fi
    echo "postgres-fixture: the PostgreSQL tests will be skipped" >&2
    exit 0
}

stop_cluster() {
    if [ -f "$data/postmaster.pid" ]; then
        as_owner "$pgbin/pg_ctl" -D "$data" -m fast -w stop >/dev/null 2>&1
    fi
    rm -rf "$data" "$folder/odbc.ini" "$folder/odbcinst.ini" "$folder/pwfile"
}

case "$action" in
stop)
    stop_cluster
    exit 0
    ;;
start) ;;
*)
    echo "usage: $0 start|stop <folder>" >&2
    exit 2
    ;;
esac

stop_cluster
mkdir -p "$folder" || give_up "cannot make $folder"
[ -x "$pgbin/initdb" ] || give_up "no PostgreSQL server in $pgbin"
[ -f "$driver" ] || give_up "no psqlODBC driver at $driver"
if [ "$(id -u)" = 0 ]; then
    chown postgres "$folder" || give_up "cannot hand $folder to the postgres user"
fi

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])') ||
    give_up "no free port"
printf 'tessory-admin\n' >"$folder/pwfile"
chmod 644 "$folder/pwfile"
as_owner "$pgbin/initdb" -D "$data" -U postgres --pwfile="$folder/pwfile" -E UTF8 \
    --locale=C.UTF-8 --auth-local=trust --auth-host=scram-sha-256 >"$folder/initdb.log" 2>&1 ||
    give_up "initdb failed (see $folder/initdb.log)"
as_owner "$pgbin/pg_ctl" -D "$data" -l "$folder/server.log" -w -t 60 \
    -o "-p $port -k $folder -c listen_addresses=127.0.0.1 -c fsync=off" start >/dev/null ||
    give_up "the server did not start"

psql() {
    as_owner "$pgbin/psql" -X -q -v ON_ERROR_STOP=1 -h "$folder" -p "$port" -U postgres "$@"
}
# tessory: the ordinary login; tessory_braces: a password full of connection-string characters.
psql -d postgres <<'SQL' || give_up "cannot create the test roles"
CREATE ROLE tessory LOGIN SUPERUSER PASSWORD 'tessory';
CREATE ROLE tessory_braces LOGIN PASSWORD ' a;b}c{d=e ';
CREATE DATABASE tessory OWNER tessory;
SQL

cat >"$folder/odbcinst.ini" <<INI
[TessoryPostgreSQL]
Description=PostgreSQL Unicode driver without communication log
Driver=$driver
Debug=0
CommLog=0
INI
cat >"$folder/odbc.ini" <<INI
[TessoryPostgres]
Driver=TessoryPostgreSQL
Servername=127.0.0.1
Port=$port
Database=tessory

[TessoryPostgresStream]
Driver=TessoryPostgreSQL
Servername=127.0.0.1
Port=$port
Database=tessory
UseDeclareFetch=1
Fetch=10000
INI
echo "postgres-fixture: server on 127.0.0.1:$port, data sources in $folder/odbc.ini"
