#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "data/catalog.h"

// The names of a source's tables as a user types them in a query, from what its driver's
// catalogue reports.

// Schemas (or, where catalogues take their part, catalogues) of the servers' own that are left
// out of the list, compared without regard to case.
bool IsSystemSchema(const QString &name);

// True when a name must be quoted to be read as itself on the source: it is empty, does not
// start with a letter or "_", holds a character other than letters, digits, "_" and "$", is a
// reserved word (ODBC's, a few more that common servers reserve, or the driver's), or holds a
// letter of the case that the source folds unquoted names away from.
bool NeedsQuoting(const QString &name, const CatalogNaming &naming);
// The name as a user types it: unchanged, or in the source's quote characters with each quote
// character inside doubled. Unchanged too on a source that has no quoted names.
QString TypedName(const QString &name, const CatalogNaming &naming);

// The drop-down's names for the catalogue's tables: those of the default schema (the current
// catalogue where catalogues take the schemas' part) first and unqualified, then those of the
// other schemas by schema, qualified with it; each group by name. System schemas are left out.
QStringList TypedTableNames(const QList<CatalogTable> &tables, const CatalogNaming &naming);
