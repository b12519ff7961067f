#pragma once

#include <QStringList>

// The data source names that the ODBC driver manager knows, user and system sources, in the
// order it returns them. Every failure of the driver manager is ignored: the list then holds
// what was read before it, possibly nothing.
QStringList GetDSNsAndDrivers();
