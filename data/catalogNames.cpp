#include "data/catalogNames.h"

#include <QSet>

#include <sqlext.h>

#include <algorithm>

namespace {

bool IsLetter(uint c) {
    return QChar::isLetter(static_cast<char32_t>(c));
}

// ODBC's reserved words, and those that common servers reserve beyond them (PostgreSQL and
// SQLite; MariaDB's driver reports its own), upper case.
const QSet<QString> &CommonReservedWords() {
    static const QSet<QString> words = [] {
        QStringList list = QString::fromLatin1(SQL_ODBC_KEYWORDS).split(QLatin1Char(','));
        list << QStringLiteral("ANALYSE") << QStringLiteral("ANALYZE") << QStringLiteral("ARRAY")
             << QStringLiteral("ASYMMETRIC") << QStringLiteral("AUTOINCREMENT")
             << QStringLiteral("BINARY") << QStringLiteral("CONCURRENTLY")
             << QStringLiteral("CURRENT_CATALOG") << QStringLiteral("CURRENT_ROLE")
             << QStringLiteral("CURRENT_SCHEMA") << QStringLiteral("DO") << QStringLiteral("FREEZE")
             << QStringLiteral("ILIKE") << QStringLiteral("ISNULL") << QStringLiteral("LATERAL")
             << QStringLiteral("LIMIT") << QStringLiteral("LOCALTIME")
             << QStringLiteral("LOCALTIMESTAMP") << QStringLiteral("NOTHING")
             << QStringLiteral("NOTNULL") << QStringLiteral("OFFSET") << QStringLiteral("PLACING")
             << QStringLiteral("RETURNING") << QStringLiteral("SIMILAR")
             << QStringLiteral("SYMMETRIC") << QStringLiteral("TABLESAMPLE")
             << QStringLiteral("VARIADIC") << QStringLiteral("VERBOSE") << QStringLiteral("WINDOW");
        return QSet<QString>(list.cbegin(), list.cend());
    }();
    return words;
}

// Where a catalogue table lives, in the terms the list groups by: its schema, or its catalogue
// where catalogues take the schemas' part, or nothing on a source of one database.
QString OwnerOf(const CatalogTable &table, const CatalogNaming &naming) {
    if (naming.hasSchemas) {
        return table.schema;
    }
    return naming.hasCatalogs ? table.catalog : QString();
}

QString DefaultOwner(const CatalogNaming &naming) {
    if (naming.hasSchemas) {
        return naming.defaultSchema;
    }
    return naming.hasCatalogs ? naming.currentCatalog : QString();
}

}  // namespace

bool IsSystemSchema(const QString &name) {
    static const QSet<QString> system = {
        QStringLiteral("information_schema"), QStringLiteral("pg_catalog"),
        QStringLiteral("pg_toast"),           QStringLiteral("mysql"),
        QStringLiteral("performance_schema"), QStringLiteral("sys")};
    return system.contains(name.toLower());
}

bool NeedsQuoting(const QString &name, const CatalogNaming &naming) {
    const QList<uint> characters = name.toUcs4();
    if (characters.isEmpty() || (!IsLetter(characters.front()) && characters.front() != U'_')) {
        return true;
    }
    const QString upper = name.toUpper();
    if (CommonReservedWords().contains(upper) || naming.keywords.contains(upper)) {
        return true;
    }
    for (const uint c : characters) {
        const auto u = static_cast<char32_t>(c);
        // Outside the first plane some servers take no unquoted names at all.
        if (c > 0xFFFF || (!QChar::isLetterOrNumber(u) && c != U'_' && c != U'$')) {
            return true;
        }
        if ((naming.foldsToLower && QChar::isUpper(u)) ||
            (naming.foldsToUpper && QChar::isLower(u))) {
            return true;
        }
    }
    return false;
}

QString TypedName(const QString &name, const CatalogNaming &naming) {
    if (naming.quote.isEmpty() || !NeedsQuoting(name, naming)) {
        return name;
    }
    QString inner = name;
    inner.replace(naming.quote, naming.quote + naming.quote);
    return naming.quote + inner + naming.quote;
}

QStringList TypedTableNames(const QList<CatalogTable> &tables, const CatalogNaming &naming) {
    struct Entry {
        bool own;
        QString owner;
        QString name;
    };
    const QString defaultOwner = DefaultOwner(naming);
    QList<Entry> entries;
    for (const CatalogTable &table : tables) {
        const QString owner = OwnerOf(table, naming);
        if (!owner.isEmpty() && IsSystemSchema(owner)) {
            continue;
        }
        entries.append({owner.isEmpty() || owner == defaultOwner, owner, table.name});
    }
    const auto byCaseThenExact = [](const QString &a, const QString &b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    };
    std::stable_sort(entries.begin(), entries.end(), [&](const Entry &a, const Entry &b) {
        if (a.own != b.own) {
            return a.own;
        }
        if (a.owner != b.owner) {
            return byCaseThenExact(a.owner, b.owner);
        }
        return byCaseThenExact(a.name, b.name);
    });
    const QString separator = naming.hasSchemas || naming.catalogSeparator.isEmpty()
                                  ? QStringLiteral(".")
                                  : naming.catalogSeparator;
    QStringList names;
    for (const Entry &entry : entries) {
        const QString name = TypedName(entry.name, naming);
        names.append(entry.own ? name : TypedName(entry.owner, naming) + separator + name);
    }
    return names;
}
