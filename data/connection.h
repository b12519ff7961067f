#pragma once

#include <QString>

#include "data/odbcHandle.h"

// The program's database connection over ODBC. Configured with a provider and an ODBC
// connection string while closed, then opened without any prompt of the driver. Transactions
// are left to the server's autocommit unless BeginTrans started one through this object.
class Connection {
public:
    static constexpr int StateClosed = 0;
    static constexpr int StateOpen = 1;

    Connection() = default;
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Only the ODBC provider "MSDASQL" exists; any other name fails with 3706.
    QString Provider() const { return provider_; }
    void setProvider(const QString &provider);

    // Read back exactly as set. Cannot change while open (3705).
    QString ConnectionString() const { return connectionString_; }
    void setConnectionString(const QString &text);

    // Connects with the driver's text on failure. A string of exactly the connection dialog's
    // form (BuildConnectionString) connects through SQLConnectW with its three fields as they
    // are; any other string through SQLDriverConnectW with no prompt.
    void Open();
    int State() const { return dbc_ ? StateOpen : StateClosed; }
    // Disconnects; fails with 3704 when closed.
    void Close();
    // Gives up a connection whose driver no longer answers, while another thread is still
    // inside one of its calls: its handles are left to that call and never freed, so nothing
    // is pulled from under it; the connection reads as closed and can be opened anew.
    void Abandon();

    // The database product name as the driver reports it (SQL_DBMS_NAME).
    QString DbmsName() const;

    // Starts a transaction of our own (autocommit off) and ends it. CommitTrans without a
    // transaction begun here fails with 3724 and commits nothing, so work that the user's own
    // SQL left open is never committed behind the user's back.
    void BeginTrans();
    void CommitTrans();

    // The open connection handle, for statements on it; fails with 3709 when closed.
    SQLHDBC handle() const;

private:
    QString provider_ = QStringLiteral("MSDASQL");
    QString connectionString_;
    bool inTransaction_ = false;
    // Acquired in this order, released in reverse.
    OdbcHandle env_;
    OdbcHandle dbc_;
};
