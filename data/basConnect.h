#pragma once

#include <QString>

#include <optional>

#include "core/failure.h"

class Connection;

// The ODBC connection string for a data source, login name and password:
// "DSN=<name>;UID=<login>;PWD=<password>;". A value that holds ";", "{", "}" or "=", or that
// starts or ends with a space, is wrapped in braces with "}" doubled, so that no value can end
// its attribute early and add another; every other value stands as typed.
QString BuildConnectionString(const QString &dsn, const QString &uid, const QString &pwd);

// The data source name, login name and password of a connection string that is exactly what
// BuildConnectionString makes of them; nothing for any other string.
struct DialogLogin {
    QString dsn;
    QString uid;
    QString pwd;
};
std::optional<DialogLogin> ParseDialogConnectionString(const QString &text);

// Closes `connection` if it is open, configures it for the data source and opens it, showing
// nothing, so that it may run on any thread (one at a time per connection). Gives the failure
// with the driver's text; afterwards the connection is closed and holds the new connection
// string.
std::optional<Failure> TryOpenConnection(Connection &connection, const QString &dsn,
                                         const QString &uid, const QString &pwd);

// TryOpenConnection on the calling thread, reporting a failure with ShowError: false then.
bool OpenConnection(Connection &connection, const QString &dsn, const QString &uid,
                    const QString &pwd);
