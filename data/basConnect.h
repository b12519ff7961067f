#pragma once

#include <QString>

#include <optional>

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

// Closes `connection` if it is open, configures it for the data source and opens it. Reports a
// failure with ShowError and returns false; afterwards the connection is closed and holds the
// new connection string.
bool OpenConnection(Connection &connection, const QString &dsn, const QString &uid,
                    const QString &pwd);
