#!/bin/sh
# Starts or stops a private MariaDB server for the database tests and registers it as ODBC data
# sources in <folder>/odbcinst.ini and <folder>/odbc.ini. The server has its own data folder,
# listens on a free port of 127.0.0.1 and on a socket in <folder>, and never touches the system
# service or its files.
#   mariadb-fixture.sh start <folder>
#   mariadb-fixture.sh stop <folder>
# Outside CI a server that cannot start is reported and the MariaDB tests skip; with CI=true it
# fails the run.
set -u

action=${1:?start or stop}
folder=${2:?folder}
server=${TESSORY_MARIADBD:-/usr/sbin/mariadbd}
driver=${TESSORY_MAODBC:-/usr/lib/x86_64-linux-gnu/odbc/libmaodbc.so}
data="$folder/data"
socket="$folder/server.sock"
pidfile="$folder/server.pid"

# mariadbd refuses to run as root; as root the server runs as the mysql user.
run_as=
[ "$(id -u)" = 0 ] && run_as=mysql

give_up() {
    echo "mariadb-fixture: $1" >&2
    [ -f "$folder/server.log" ] && tail -n 20 "$folder/server.log" >&2
    stop_server
    if [ "${CI:-}" = true ]; then
        echo "mariadb-fixture: CI=true, the MariaDB tests must run: failing" >&2
        exit 1
    fi
    echo "mariadb-fixture: the MariaDB tests will be skipped" >&2
    exit 0
}

stop_server() {
    if [ -f "$pidfile" ]; then
        pid=$(cat "$pidfile")
        kill "$pid" 2>/dev/null
        # A clean shutdown takes a moment; a server that does not go is killed.
        tries=0
        while kill -0 "$pid" 2>/dev/null && [ $tries -lt 100 ]; do
            sleep 0.1
            tries=$((tries + 1))
        done
        kill -9 "$pid" 2>/dev/null
    fi
    rm -rf "$data" "$pidfile" "$socket" "$folder/odbc.ini" "$folder/odbcinst.ini"
}

case "$action" in
stop)
    stop_server
    exit 0
    ;;
start) ;;
*)
    echo "usage: $0 start|stop <folder>" >&2
    exit 2
    ;;
esac

stop_server
mkdir -p "$folder" || give_up "cannot make $folder"
[ -x "$server" ] || give_up "no MariaDB server at $server"
command -v mariadb-install-db >/dev/null || give_up "no mariadb-install-db"
[ -f "$driver" ] || give_up "no MariaDB Connector/ODBC driver at $driver"
user_option=
if [ -n "$run_as" ]; then
    chown "$run_as" "$folder" || give_up "cannot hand $folder to the $run_as user"
    user_option="--user=$run_as"
fi

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])') ||
    give_up "no free port"

mariadb-install-db --no-defaults $user_option --datadir="$data" --auth-root-authentication-method=socket \
    --skip-test-db >"$folder/install.log" 2>&1 ||
    give_up "mariadb-install-db failed (see $folder/install.log)"

# The server detaches from ctest's output so that the fixture test ends when it has started.
setsid "$server" --no-defaults $user_option --datadir="$data" --socket="$socket" \
    --pid-file="$pidfile" --port="$port" --bind-address=127.0.0.1 --skip-name-resolve \
    --log-error="$folder/server.log" --character-set-server=utf8mb4 \
    --collation-server=utf8mb4_bin --innodb-flush-log-at-trx-commit=0 --skip-log-bin \
    </dev/null >/dev/null 2>&1 &

client() {
    if [ -n "$run_as" ]; then
        mariadb --no-defaults --socket="$socket" -u root "$@"
    else
        mariadb --no-defaults --socket="$socket" -u "$(id -un)" "$@"
    fi
}

tries=0
until client -e 'SELECT 1' >/dev/null 2>&1; do
    tries=$((tries + 1))
    [ $tries -gt 600 ] && give_up "the server did not start"
    sleep 0.1
done

# tessory: the ordinary login with every right (tests make databases of their own);
# tessory_braces: a password full of connection-string characters.
client <<'SQL' || give_up "cannot create the test users"
CREATE DATABASE tessory CHARACTER SET utf8mb4 COLLATE utf8mb4_bin;
CREATE USER 'tessory'@'127.0.0.1' IDENTIFIED BY 'tessory';
GRANT ALL PRIVILEGES ON *.* TO 'tessory'@'127.0.0.1' WITH GRANT OPTION;
CREATE USER 'tessory_braces'@'127.0.0.1' IDENTIFIED BY ' a;b}c{d=e ';
GRANT ALL PRIVILEGES ON tessory.* TO 'tessory_braces'@'127.0.0.1';
SQL

cat >"$folder/odbcinst.ini" <<INI
[TessoryMariaDBDriver]
Description=MariaDB Connector/ODBC
Driver=$driver
INI
# TessoryMariaDBStream asks for a streamed result (Connector/ODBC 3.1.17 and later; older
# drivers ignore the option and read the whole result first).
cat >"$folder/odbc.ini" <<INI
[TessoryMariaDB]
Driver=TessoryMariaDBDriver
Server=127.0.0.1
Port=$port
Database=tessory

[TessoryMariaDBStream]
Driver=TessoryMariaDBDriver
Server=127.0.0.1
Port=$port
Database=tessory
NO_CACHE=1
FORWARDONLY=1
INI
echo "mariadb-fixture: server on 127.0.0.1:$port, data sources in $folder/odbc.ini"
