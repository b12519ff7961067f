#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Connection;

// How names are written on a data source and where its tables live, as its driver reports it.
struct CatalogNaming {
    QString quote;              // the identifier quote character; empty when names cannot be quoted
    bool foldsToLower = false;  // unquoted names are stored in lower case
    bool foldsToUpper = false;  // unquoted names are stored in upper case
    QStringList keywords;       // the driver's own reserved words, upper case
    QString catalogSeparator;   // between a catalogue and the name after it
    bool hasSchemas = false;    // tables live in schemas of a catalogue
    bool hasCatalogs = false;   // statements may name a catalogue (a database of the server)
    QString currentCatalog;     // the catalogue the connection works in; may be empty
    QString defaultSchema;      // the schema an unqualified name is looked up in; may be empty
};

// A table or view as the driver's catalogue lists it.
struct CatalogTable {
    QString catalog;
    QString schema;
    QString name;
};

// Reads the naming rules of an open connection. Where the source has schemas, the default
// schema is the server's CURRENT_SCHEMA, or when it cannot say, the schema named like the user.
// Failures pass to the caller.
CatalogNaming ReadCatalogNaming(Connection &connection);

// The tables and views of the source, as SQLTablesW lists them: on a source with schemas, those
// of every schema of the current catalogue; on a source whose catalogues are its databases and
// that has no schemas, those of every catalogue (such databases take the part of schemas);
// otherwise those of the one database. Failures pass to the caller.
QList<CatalogTable> ReadCatalogTables(Connection &connection, const CatalogNaming &naming);
