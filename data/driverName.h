#pragma once

#include <QString>

#include <sql.h>

// The file name of the ODBC driver behind an open connection (SQL_DRIVER_NAME, e.g.
// "psqlodbcw.so"); empty when the driver does not say.
QString DriverName(SQLHDBC connection);

// True for psqlODBC, the driver whose cancel and in-block reads are measured to be safe (see
// StatementCancel and the fetch plan).
bool IsPsqlOdbc(SQLHDBC connection);
