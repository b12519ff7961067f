#include "data/connection.h"

#include <algorithm>
#include <vector>

#include "data/basConnect.h"
#include "data/layerFailure.h"

Connection::~Connection() {
    if (dbc_) {
        SQLDisconnect(dbc_.get());
    }
}

void Connection::setProvider(const QString &provider) {
    if (dbc_) {
        throw MakeLayerFailure(LayerFailureNumber::ObjectOpen);
    }
    if (provider.compare(QLatin1String("MSDASQL"), Qt::CaseInsensitive) != 0) {
        throw MakeLayerFailure(LayerFailureNumber::ProviderNotFound);
    }
    provider_ = provider;
}

void Connection::setConnectionString(const QString &text) {
    if (dbc_) {
        throw MakeLayerFailure(LayerFailureNumber::ObjectOpen);
    }
    connectionString_ = text;
}

void Connection::Open() {
    if (dbc_) {
        throw MakeLayerFailure(LayerFailureNumber::ObjectOpen);
    }
    OdbcHandle env(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
    check(SQLSetEnvAttr(env.get(), SQL_ATTR_ODBC_VERSION,
                        reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
          env, "SQLSetEnvAttr");
    OdbcHandle dbc(SQL_HANDLE_DBC, env.get());
    if (const std::optional<DialogLogin> login = ParseDialogConnectionString(connectionString_)) {
        // The dialog's three fields reach the driver as separate arguments, so that no
        // character of a password can end its attribute and start another: the SQLite3 driver
        // ignores braces and would read PWD={x;Database=...} as a second database file.
        check(SQLConnectW(
                  dbc.get(), const_cast<SQLWCHAR *>(ToSqlWChar(login->dsn)),
                  SQLSMALLINT(login->dsn.size()), const_cast<SQLWCHAR *>(ToSqlWChar(login->uid)),
                  SQLSMALLINT(login->uid.size()), const_cast<SQLWCHAR *>(ToSqlWChar(login->pwd)),
                  SQLSMALLINT(login->pwd.size())),
              dbc, "SQLConnectW");
    } else {
        std::vector<SQLWCHAR> completed(1024);
        SQLSMALLINT completedLength = 0;
        check(SQLDriverConnectW(dbc.get(), nullptr,
                                const_cast<SQLWCHAR *>(ToSqlWChar(connectionString_)),
                                static_cast<SQLSMALLINT>(connectionString_.size()),
                                completed.data(), static_cast<SQLSMALLINT>(completed.size()),
                                &completedLength, SQL_DRIVER_NOPROMPT),
              dbc, "SQLDriverConnectW");
    }
    env_ = std::move(env);
    dbc_ = std::move(dbc);
    inTransaction_ = false;
}

void Connection::Abandon() {
    inTransaction_ = false;
    dbc_.release();
    env_.release();
}

void Connection::Close() {
    if (!dbc_) {
        throw MakeLayerFailure(LayerFailureNumber::ObjectClosed);
    }
    if (inTransaction_) {
        // Closing without a commit drops our own transaction, as closing always did.
        SQLEndTran(SQL_HANDLE_DBC, dbc_.get(), SQL_ROLLBACK);
        inTransaction_ = false;
    }
    const SQLRETURN rc = SQLDisconnect(dbc_.get());
    // A connection the server has dropped still counts as closed afterwards; any other refusal
    // leaves it open and is reported.
    if (!SQL_SUCCEEDED(rc)) {
        DatabaseFailure failure = DiagnosticFailure(SQL_HANDLE_DBC, dbc_.get(), "SQLDisconnect");
        const bool connectionGone =
            std::any_of(failure.sqlStates.cbegin(), failure.sqlStates.cend(),
                        [](const QString &state) { return state.startsWith(QLatin1String("08")); });
        if (!connectionGone) {
            throw failure;
        }
    }
    dbc_.reset();
    env_.reset();
}

SQLHDBC Connection::handle() const {
    if (!dbc_) {
        throw MakeLayerFailure(LayerFailureNumber::NoConnection);
    }
    return dbc_.get();
}

QString Connection::DbmsName() const {
    if (!dbc_) {
        throw MakeLayerFailure(LayerFailureNumber::ObjectClosed);
    }
    std::vector<SQLWCHAR> name(256);
    SQLSMALLINT bytes = 0;
    check(SQLGetInfoW(dbc_.get(), SQL_DBMS_NAME, name.data(),
                      static_cast<SQLSMALLINT>(name.size() * sizeof(SQLWCHAR)), &bytes),
          dbc_, "SQLGetInfoW");
    const qsizetype length =
        std::min<qsizetype>(bytes / qsizetype(sizeof(SQLWCHAR)), name.size() - 1);
    return FromSqlWChar(name.data(), length);
}

void Connection::BeginTrans() {
    if (!dbc_) {
        throw MakeLayerFailure(LayerFailureNumber::ObjectClosed);
    }
    if (inTransaction_) {
        throw MakeLayerFailure(LayerFailureNumber::NotInContext);
    }
    check(SQLSetConnectAttrW(dbc_.get(), SQL_ATTR_AUTOCOMMIT,
                             reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0),
          dbc_, "SQLSetConnectAttrW");
    inTransaction_ = true;
}

void Connection::CommitTrans() {
    if (!dbc_) {
        throw MakeLayerFailure(LayerFailureNumber::ObjectClosed);
    }
    if (!inTransaction_) {
        throw MakeLayerFailure(LayerFailureNumber::NoTransaction);
    }
    check(SQLEndTran(SQL_HANDLE_DBC, dbc_.get(), SQL_COMMIT), dbc_, "SQLEndTran");
    inTransaction_ = false;
    check(SQLSetConnectAttrW(dbc_.get(), SQL_ATTR_AUTOCOMMIT,
                             reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0),
          dbc_, "SQLSetConnectAttrW");
}
