#pragma once

#include <QString>

class Connection;

// The text to run, the connection to run it on and its time-out. Holds no handle: a recordset
// executes it.
class Command {
public:
    Connection *ActiveConnection() const { return connection_; }
    void setActiveConnection(Connection *connection) { connection_ = connection; }

    QString CommandText() const { return text_; }
    void setCommandText(const QString &text) { text_ = text; }

    // Seconds a statement may run before it is cancelled; 0 means no limit. Negative values
    // fail with 3001.
    int CommandTimeout() const { return timeout_; }
    void setCommandTimeout(int seconds);

private:
    Connection *connection_ = nullptr;
    QString text_;
    int timeout_ = 30;
};
