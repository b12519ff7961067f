#include "data/driverName.h"

#include <algorithm>
#include <array>

#include "data/odbcHandle.h"

QString DriverName(SQLHDBC connection) {
    std::array<SQLWCHAR, 256> name{};
    SQLSMALLINT bytes = 0;
    if (!SQL_SUCCEEDED(SQLGetInfoW(connection, SQL_DRIVER_NAME, name.data(),
                                   SQLSMALLINT(name.size() * sizeof(SQLWCHAR)), &bytes))) {
        return {};
    }
    const qsizetype length =
        std::min<qsizetype>(bytes / qsizetype(sizeof(SQLWCHAR)), qsizetype(name.size()) - 1);
    return FromSqlWChar(name.data(), length);
}

bool IsPsqlOdbc(SQLHDBC connection) {
    return DriverName(connection).contains(QLatin1String("psqlodbc"), Qt::CaseInsensitive);
}
