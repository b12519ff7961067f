#include "data/catalog.h"

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <vector>

#include "data/connection.h"
#include "data/odbcHandle.h"
#include "data/recordset.h"

namespace {

// The characters before the first NUL of a buffer the driver wrote. Some drivers report text
// lengths in bytes of UTF-8 rather than in characters, so the terminator is the safer measure.
QString TerminatedText(const std::vector<SQLWCHAR> &buffer) {
    const auto end = std::find(buffer.cbegin(), buffer.cend(), SQLWCHAR(0));
    return FromSqlWChar(buffer.data(), end - buffer.cbegin());
}

QString InfoText(SQLHDBC dbc, SQLUSMALLINT type) {
    std::vector<SQLWCHAR> buffer(256, 0);
    for (;;) {
        SQLSMALLINT bytes = 0;
        check(SQLGetInfoW(dbc, type, buffer.data(), SQLSMALLINT(buffer.size() * sizeof(SQLWCHAR)),
                          &bytes),
              SQL_HANDLE_DBC, dbc, "SQLGetInfoW");
        const size_t needed = size_t(bytes) / sizeof(SQLWCHAR) + 1;
        if (needed <= buffer.size() || buffer.size() >= 16384) {
            return TerminatedText(buffer);
        }
        buffer.assign(needed, 0);
    }
}

template <typename Number>
Number InfoNumber(SQLHDBC dbc, SQLUSMALLINT type) {
    Number value = 0;
    check(SQLGetInfoW(dbc, type, &value, sizeof value, nullptr), SQL_HANDLE_DBC, dbc,
          "SQLGetInfoW");
    return value;
}

QString CurrentCatalog(SQLHDBC dbc) {
    std::vector<SQLWCHAR> buffer(1024, 0);
    SQLINTEGER bytes = 0;
    const SQLRETURN rc =
        SQLGetConnectAttrW(dbc, SQL_ATTR_CURRENT_CATALOG, buffer.data(),
                           SQLINTEGER((buffer.size() - 1) * sizeof(SQLWCHAR)), &bytes);
    // A driver without catalogues may refuse the question; it then has no current one.
    return SQL_SUCCEEDED(rc) ? TerminatedText(buffer) : QString();
}

QString DefaultSchema(Connection &connection, const QString &userName) {
    QString schema;
    IgnoreFailure([&] {
        Recordset rs;
        rs.Open(QStringLiteral("SELECT CURRENT_SCHEMA"), connection);
        if (rs.RecordCount() > 0) {
            schema = rs.Value(0);
        }
    });
    return schema.isEmpty() ? userName : schema;
}

// One text column of the current row, NULL as empty, read in pieces.
QString ColumnText(const OdbcHandle &statement, SQLUSMALLINT column) {
    std::vector<SQLWCHAR> buffer(512);
    QString text;
    for (;;) {
        std::fill(buffer.begin(), buffer.end(), SQLWCHAR(0));
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(statement.get(), column, SQL_C_WCHAR, buffer.data(),
                                        SQLLEN(buffer.size() * sizeof(SQLWCHAR)), &indicator);
        if (rc == SQL_NO_DATA) {
            return text;
        }
        check(rc, statement, "SQLGetData");
        if (indicator == SQL_NULL_DATA) {
            return text;
        }
        text += TerminatedText(buffer);
        const bool truncated = indicator == SQL_NO_TOTAL ||
                               indicator >= SQLLEN((buffer.size() - 1) * sizeof(SQLWCHAR));
        if (rc != SQL_SUCCESS_WITH_INFO || !truncated) {
            return text;
        }
    }
}

const SQLWCHAR *Argument(const QString &text) {
    return text.isNull() ? nullptr : ToSqlWChar(text);
}

}  // namespace

CatalogNaming ReadCatalogNaming(Connection &connection) {
    const SQLHDBC dbc = connection.handle();
    CatalogNaming naming;
    const QString quote = InfoText(dbc, SQL_IDENTIFIER_QUOTE_CHAR);
    // A space means that the source has no quoted names.
    naming.quote = quote.trimmed().isEmpty() ? QString() : quote;
    const auto identifierCase = InfoNumber<SQLUSMALLINT>(dbc, SQL_IDENTIFIER_CASE);
    naming.foldsToLower = identifierCase == SQL_IC_LOWER;
    naming.foldsToUpper = identifierCase == SQL_IC_UPPER;
    const QString keywords = InfoText(dbc, SQL_KEYWORDS).toUpper();
    naming.keywords = keywords.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (QString &word : naming.keywords) {
        word = word.trimmed();
    }
    naming.catalogSeparator = InfoText(dbc, SQL_CATALOG_NAME_SEPARATOR);
    naming.hasSchemas = InfoNumber<SQLUINTEGER>(dbc, SQL_SCHEMA_USAGE) != 0;
    naming.hasCatalogs =
        (InfoNumber<SQLUINTEGER>(dbc, SQL_CATALOG_USAGE) & SQL_CU_DML_STATEMENTS) != 0 &&
        !naming.catalogSeparator.isEmpty();
    naming.currentCatalog = CurrentCatalog(dbc);
    if (naming.hasSchemas) {
        naming.defaultSchema = DefaultSchema(connection, InfoText(dbc, SQL_USER_NAME));
    }
    return naming;
}

QList<CatalogTable> ReadCatalogTables(Connection &connection, const CatalogNaming &naming) {
    OdbcHandle statement(SQL_HANDLE_STMT, connection.handle());
    const QString all = QStringLiteral("%");
    const QString types = QStringLiteral("TABLE,VIEW");
    QString catalog;  // null: every catalogue, or the only one
    QString schema;   // null: no schemas
    if (naming.hasSchemas) {
        catalog = naming.currentCatalog.isEmpty() ? QString() : naming.currentCatalog;
        schema = all;
    }
    check(SQLTablesW(statement.get(), const_cast<SQLWCHAR *>(Argument(catalog)),
                     catalog.isNull() ? 0 : SQL_NTS, const_cast<SQLWCHAR *>(Argument(schema)),
                     schema.isNull() ? 0 : SQL_NTS, const_cast<SQLWCHAR *>(ToSqlWChar(all)),
                     SQL_NTS, const_cast<SQLWCHAR *>(ToSqlWChar(types)), SQL_NTS),
          statement, "SQLTablesW");
    QList<CatalogTable> tables;
    for (;;) {
        const SQLRETURN rc = SQLFetch(statement.get());
        if (rc == SQL_NO_DATA) {
            break;
        }
        check(rc, statement, "SQLFetch");
        CatalogTable table;
        table.catalog = ColumnText(statement, 1);
        table.schema = ColumnText(statement, 2);
        table.name = ColumnText(statement, 3);
        tables.append(table);
    }
    return tables;
}
