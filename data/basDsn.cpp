#include "data/basDsn.h"

#include <QCollator>
#include <QLocale>

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <array>

#include "data/odbcHandle.h"

QStringList GetDSNsAndDrivers() {
    QStringList names;
    IgnoreFailure([&] {
        OdbcHandle env(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
        SQLSetEnvAttr(env.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3),
                      0);
        std::array<SQLWCHAR, 1024> name{};
        std::array<SQLWCHAR, 1024> description{};
        for (;;) {
            SQLSMALLINT nameLength = 0;
            SQLSMALLINT descriptionLength = 0;
            const SQLRETURN rc = SQLDataSourcesW(
                env.get(), SQL_FETCH_NEXT, name.data(), SQLSMALLINT(name.size()), &nameLength,
                description.data(), SQLSMALLINT(description.size()), &descriptionLength);
            if (!SQL_SUCCEEDED(rc)) {
                break;
            }
            const QString text = FromSqlWChar(
                name.data(), std::min<qsizetype>(nameLength, qsizetype(name.size()) - 1));
            if (!text.trimmed().isEmpty()) {
                names.append(text);
            }
        }
    });
    return names;
}

QStringList SortDataSourceNames(QStringList names) {
    QCollator collator(QLocale(QLocale::Japanese, QLocale::Japan));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    std::sort(names.begin(), names.end(), [&collator](const QString &a, const QString &b) {
        const int order = collator.compare(a, b);
        return order != 0 ? order < 0 : a < b;
    });
    return names;
}
