#include "data/basConnect.h"

#include "core/clsMsg.h"
#include "data/connection.h"

#include <utility>

namespace {

QString ConnectionValue(const QString &value) {
    const bool needsBraces = value.contains(QLatin1Char(';')) || value.contains(QLatin1Char('{')) ||
                             value.contains(QLatin1Char('}')) || value.contains(QLatin1Char('=')) ||
                             value.startsWith(QLatin1Char(' ')) || value.endsWith(QLatin1Char(' '));
    if (!needsBraces) {
        return value;
    }
    QString quoted = value;
    quoted.replace(QLatin1Char('}'), QLatin1String("}}"));
    return QLatin1Char('{') + quoted + QLatin1Char('}');
}

// Reads the value that starts at `at` in the form ConnectionValue writes, with its closing ";",
// and moves `at` past it.
std::optional<QString> ReadConnectionValue(QStringView text, qsizetype &at) {
    if (at < text.size() && text[at] == QLatin1Char('{')) {
        QString value;
        for (qsizetype i = at + 1; i < text.size(); ++i) {
            if (text[i] != QLatin1Char('}')) {
                value += text[i];
            } else if (text.mid(i + 1).startsWith(QLatin1Char('}'))) {
                value += QLatin1Char('}');
                ++i;
            } else if (text.mid(i + 1).startsWith(QLatin1Char(';'))) {
                at = i + 2;
                return value;
            } else {
                return std::nullopt;
            }
        }
        return std::nullopt;
    }
    const qsizetype end = text.indexOf(QLatin1Char(';'), at);
    if (end < 0) {
        return std::nullopt;
    }
    QString value = text.mid(at, end - at).toString();
    at = end + 1;
    return value;
}

}  // namespace

QString BuildConnectionString(const QString &dsn, const QString &uid, const QString &pwd) {
    return QLatin1String("DSN=") + ConnectionValue(dsn) + QLatin1String(";UID=") +
           ConnectionValue(uid) + QLatin1String(";PWD=") + ConnectionValue(pwd) + QLatin1Char(';');
}

std::optional<DialogLogin> ParseDialogConnectionString(const QString &text) {
    DialogLogin login;
    const std::pair<QLatin1String, QString *> parts[] = {{QLatin1String("DSN="), &login.dsn},
                                                         {QLatin1String("UID="), &login.uid},
                                                         {QLatin1String("PWD="), &login.pwd}};
    qsizetype at = 0;
    for (const auto &[key, field] : parts) {
        if (!QStringView(text).mid(at).startsWith(key)) {
            return std::nullopt;
        }
        at += key.size();
        std::optional<QString> value = ReadConnectionValue(text, at);
        if (!value) {
            return std::nullopt;
        }
        *field = *value;
    }
    // Nothing may follow, and the fields must give back the very same string.
    if (at != text.size() || BuildConnectionString(login.dsn, login.uid, login.pwd) != text) {
        return std::nullopt;
    }
    return login;
}

std::optional<Failure> TryOpenConnection(Connection &connection, const QString &dsn,
                                         const QString &uid, const QString &pwd) {
    try {
        if (connection.State() != Connection::StateClosed) {
            connection.Close();
        }
        connection.setProvider(QStringLiteral("MSDASQL"));
        connection.setConnectionString(BuildConnectionString(dsn, uid, pwd));
        connection.Open();
        return std::nullopt;
    } catch (const Failure &failure) {
        return failure;
    }
}

bool OpenConnection(Connection &connection, const QString &dsn, const QString &uid,
                    const QString &pwd) {
    const std::optional<Failure> failure = TryOpenConnection(connection, dsn, uid, pwd);
    if (failure) {
        clsMsg().ShowError(failure->description);
    }
    return !failure;
}
