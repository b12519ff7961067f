#pragma once

#include <QStringList>

// The data source names that the ODBC driver manager knows, user and system sources, in the
// order it returns them. Every failure of the driver manager is ignored: the list then holds
// what was read before it, possibly nothing.
QStringList GetDSNsAndDrivers();

// The names in the order a user reads a list: letter case ignored, numbers by their value,
// kana by their reading; names that differ only in case in one fixed order.
QStringList SortDataSourceNames(QStringList names);
