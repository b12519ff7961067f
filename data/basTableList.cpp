#include "data/basTableList.h"

#include <QRegularExpression>
#include <QSet>

#include "core/failure.h"
#include "data/catalogNames.h"
#include "data/connection.h"
#include "data/recordset.h"

namespace {

// Words that SQL Server reserves; a table so named must be delimited.
const QSet<QString> &ReservedWords() {
    static const QSet<QString> words = [] {
        const char *const list[] = {"ADD",
                                    "ALL",
                                    "ALTER",
                                    "AND",
                                    "ANY",
                                    "AS",
                                    "ASC",
                                    "AUTHORIZATION",
                                    "BACKUP",
                                    "BEGIN",
                                    "BETWEEN",
                                    "BREAK",
                                    "BROWSE",
                                    "BULK",
                                    "BY",
                                    "CASCADE",
                                    "CASE",
                                    "CHECK",
                                    "CHECKPOINT",
                                    "CLOSE",
                                    "CLUSTERED",
                                    "COALESCE",
                                    "COLLATE",
                                    "COLUMN",
                                    "COMMIT",
                                    "COMPUTE",
                                    "CONSTRAINT",
                                    "CONTAINS",
                                    "CONTAINSTABLE",
                                    "CONTINUE",
                                    "CONVERT",
                                    "CREATE",
                                    "CROSS",
                                    "CURRENT",
                                    "CURRENT_DATE",
                                    "CURRENT_TIME",
                                    "CURRENT_TIMESTAMP",
                                    "CURRENT_USER",
                                    "CURSOR",
                                    "DATABASE",
                                    "DBCC",
                                    "DEALLOCATE",
                                    "DECLARE",
                                    "DEFAULT",
                                    "DELETE",
                                    "DENY",
                                    "DESC",
                                    "DISK",
                                    "DISTINCT",
                                    "DISTRIBUTED",
                                    "DOUBLE",
                                    "DROP",
                                    "DUMP",
                                    "ELSE",
                                    "END",
                                    "ERRLVL",
                                    "ESCAPE",
                                    "EXCEPT",
                                    "EXEC",
                                    "EXECUTE",
                                    "EXISTS",
                                    "EXIT",
                                    "EXTERNAL",
                                    "FETCH",
                                    "FILE",
                                    "FILLFACTOR",
                                    "FOR",
                                    "FOREIGN",
                                    "FREETEXT",
                                    "FREETEXTTABLE",
                                    "FROM",
                                    "FULL",
                                    "FUNCTION",
                                    "GOTO",
                                    "GRANT",
                                    "GROUP",
                                    "HAVING",
                                    "HOLDLOCK",
                                    "IDENTITY",
                                    "IDENTITY_INSERT",
                                    "IDENTITYCOL",
                                    "IF",
                                    "IN",
                                    "INDEX",
                                    "INNER",
                                    "INSERT",
                                    "INTERSECT",
                                    "INTO",
                                    "IS",
                                    "JOIN",
                                    "KEY",
                                    "KILL",
                                    "LEFT",
                                    "LIKE",
                                    "LINENO",
                                    "LOAD",
                                    "MERGE",
                                    "NATIONAL",
                                    "NOCHECK",
                                    "NONCLUSTERED",
                                    "NOT",
                                    "NULL",
                                    "NULLIF",
                                    "OF",
                                    "OFF",
                                    "OFFSETS",
                                    "ON",
                                    "OPEN",
                                    "OPENDATASOURCE",
                                    "OPENQUERY",
                                    "OPENROWSET",
                                    "OPENXML",
                                    "OPTION",
                                    "OR",
                                    "ORDER",
                                    "OUTER",
                                    "OVER",
                                    "PERCENT",
                                    "PIVOT",
                                    "PLAN",
                                    "PRECISION",
                                    "PRIMARY",
                                    "PRINT",
                                    "PROC",
                                    "PROCEDURE",
                                    "PUBLIC",
                                    "RAISERROR",
                                    "READ",
                                    "READTEXT",
                                    "RECONFIGURE",
                                    "REFERENCES",
                                    "REPLICATION",
                                    "RESTORE",
                                    "RESTRICT",
                                    "RETURN",
                                    "REVERT",
                                    "REVOKE",
                                    "RIGHT",
                                    "ROLLBACK",
                                    "ROWCOUNT",
                                    "ROWGUIDCOL",
                                    "RULE",
                                    "SAVE",
                                    "SCHEMA",
                                    "SECURITYAUDIT",
                                    "SELECT",
                                    "SEMANTICKEYPHRASETABLE",
                                    "SEMANTICSIMILARITYDETAILSTABLE",
                                    "SEMANTICSIMILARITYTABLE",
                                    "SESSION_USER",
                                    "SET",
                                    "SETUSER",
                                    "SHUTDOWN",
                                    "SOME",
                                    "STATISTICS",
                                    "SYSTEM_USER",
                                    "TABLE",
                                    "TABLESAMPLE",
                                    "TEXTSIZE",
                                    "THEN",
                                    "TO",
                                    "TOP",
                                    "TRAN",
                                    "TRANSACTION",
                                    "TRIGGER",
                                    "TRUNCATE",
                                    "TRY_CONVERT",
                                    "TSEQUAL",
                                    "UNION",
                                    "UNIQUE",
                                    "UNPIVOT",
                                    "UPDATE",
                                    "UPDATETEXT",
                                    "USE",
                                    "USER",
                                    "VALUES",
                                    "VARYING",
                                    "VIEW",
                                    "WAITFOR",
                                    "WHEN",
                                    "WHERE",
                                    "WHILE",
                                    "WITH",
                                    "WRITETEXT"};
        QSet<QString> set;
        for (const char *word : list) {
            set.insert(QString::fromLatin1(word));
        }
        return set;
    }();
    return words;
}

bool IsLetter(uint c) {
    return QChar::isLetter(static_cast<char32_t>(c));
}

TableList ReadCatalogTableList(Connection &connection) {
    TableList list;
    list.visible = true;
    IgnoreFailure([&] {
        const CatalogNaming naming = ReadCatalogNaming(connection);
        list.tables = TypedTableNames(ReadCatalogTables(connection, naming), naming);
    });
    return list;
}

}  // namespace

bool IsSqlServer(const QString &productName) {
    return productName == QLatin1String(kSqlServerProductName);
}

TableList ReadTableList(Connection &connection) {
    QString product;
    IgnoreFailure([&] { product = connection.DbmsName(); });
    return ReadTableList(connection, product);
}

TableList ReadTableList(Connection &connection, const QString &productName) {
    TableList list;
    if (connection.State() != Connection::StateOpen) {
        return list;
    }
    if (!IsSqlServer(productName)) {
        return ReadCatalogTableList(connection);
    }
    list.visible = true;
    list.sqlServer = true;
    // Not through the shared command, so the query time-out does not apply.
    IgnoreFailure([&] {
        Recordset rs;
        rs.Open(QString::fromLatin1(kTableListQuery), connection);
        int nameField = -1;
        for (int field = 0; field < rs.FieldCount(); ++field) {
            if (rs.FieldName(field).compare(QLatin1String("name"), Qt::CaseInsensitive) == 0) {
                nameField = field;
            }
        }
        if (nameField < 0) {
            return;
        }
        for (qsizetype row = 0; row < rs.RecordCount(); ++row) {
            list.tables.append(rs.CellText(row, nameField).toString());
        }
    });
    return list;
}

bool IsRegularIdentifier(const QString &name) {
    const QList<uint> characters = name.toUcs4();
    if (characters.isEmpty() || ReservedWords().contains(name.toUpper())) {
        return false;
    }
    // "@" and "#" may start a name too, but then mean a variable or a temporary table.
    if (!IsLetter(characters.front()) && characters.front() != U'_') {
        return false;
    }
    for (const uint c : characters) {
        const bool allowed = IsLetter(c) || QChar::isDigit(static_cast<char32_t>(c)) || c == U'_' ||
                             c == U'@' || c == U'#' || c == U'$';
        if (!allowed) {
            return false;
        }
    }
    return true;
}

QString QuoteTableName(const QString &name) {
    if (IsRegularIdentifier(name)) {
        return name;
    }
    QString quoted = name;
    quoted.replace(QLatin1Char(']'), QLatin1String("]]"));
    return QLatin1Char('[') + quoted + QLatin1Char(']');
}

QString TableQueryText(const QString &tableName) {
    return QStringLiteral("SELECT * FROM ") + QuoteTableName(tableName);
}

QString TableQueryText(const QString &shownName, bool sqlServer) {
    return sqlServer ? TableQueryText(shownName) : QStringLiteral("SELECT * FROM ") + shownName;
}

bool MayChangeTables(const QString &text) {
    static const QRegularExpression words(
        QStringLiteral("\\b(CREATE|DROP|ALTER|RENAME)\\b"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    return words.match(text).hasMatch();
}
