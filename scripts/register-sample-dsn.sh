#!/usr/bin/env bash
# Builds the sample SQLite database from resources/sample/sample.sql and registers it for the
# current user as the ODBC data source "TessorySample", unless a source of that name exists.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dsn=TessorySample
data="${XDG_DATA_HOME:-$HOME/.local/share}/Tessory"
database="$data/sample.sqlite"
# The user's odbc.ini as the driver manager itself finds it.
odbcini="$(odbcinst -j | sed -n 's/^USER DATA SOURCES\.*: *//p')"
odbcini="${odbcini:-$HOME/.odbc.ini}"

if odbcinst -q -s -n "$dsn" >/dev/null 2>&1; then
    echo "ODBC data source $dsn exists already; left as it is."
    exit 0
fi

mkdir -p "$data"
rm -f "$database.new"
sqlite3 "$database.new" <"$root/resources/sample/sample.sql"
mv -f "$database.new" "$database"

driver=SQLite3
if ! odbcinst -q -d -n "$driver" >/dev/null 2>&1; then
    driver="$(dpkg -L libsqliteodbc | grep '/libsqlite3odbc\.so$' | head -n 1)"
fi
cat >>"$odbcini" <<INI

[$dsn]
Description = Tessory sample database
Driver      = $driver
Database    = $database
StepAPI     = 1
INI
echo "Registered ODBC data source $dsn ($database) in $odbcini."
