#include "data/basConnect.h"

#include "app/basGlobals.h"
#include "app/clsMsg.h"
#include "data/connection.h"

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

}  // namespace

QString BuildConnectionString(const QString &dsn, const QString &uid, const QString &pwd) {
    return QLatin1String("DSN=") + ConnectionValue(dsn) + QLatin1String(";UID=") +
           ConnectionValue(uid) + QLatin1String(";PWD=") + ConnectionValue(pwd) + QLatin1Char(';');
}

bool OpenConnection(const QString &dsn, const QString &uid, const QString &pwd) {
    try {
        if (gConnection.State() != Connection::StateClosed) {
            gConnection.Close();
        }
        gConnection.setProvider(QStringLiteral("MSDASQL"));
        gConnection.setConnectionString(BuildConnectionString(dsn, uid, pwd));
        gConnection.Open();
        return true;
    } catch (const Failure &failure) {
        clsMsg().ShowError(failure.description);
        return false;
    }
}
