#pragma once

#include <QDialog>

#include <functional>
#include <optional>

#include <QPointer>
#include <QString>

#include "core/failure.h"
#include "ui/busyCursor.h"

class Connection;
class ConnectionWorker;
class QComboBox;
class QFrame;
class QLineEdit;

// What one press of OK tried: the data source as the field showed it, and whether the
// connection opened with it.
struct ConnectAttempt {
    QString dataSource;
    bool opened = false;
};

// The connection dialog: a data source picked from the driver manager's list or typed, a login
// name and a password. OK opens the connection it is given and closes only when that
// succeeded; whenever it closes it stores the data source and login name (never the password).
// Without a worker the connection opens on this thread while OK waits; with one, the attempt
// runs there while the dialog's inputs are disabled and the windows behind keep painting.
class frmConnect : public QDialog {
    Q_OBJECT
public:
    explicit frmConnect(Connection &connection, QWidget *parent = nullptr,
                        ConnectionWorker *worker = nullptr);
    ~frmConnect() override;

    // Ignored while an attempt runs (see Attempting).
    void done(int result) override;

    // OK's attempt runs on the worker and has not ended yet.
    bool Attempting() const { return attempting_; }

signals:
    // OK has tried to open the connection, which is now open or closed.
    void ConnectionAttempted(const ConnectAttempt &attempt);

private:
    void cmdOK_Click();
    void buildControls();
    void load();
    void setAttempting(bool attempting);
    void finishAttempt(const QString &dsn, const std::optional<Failure> &failure);

    Connection &connection_;
    ConnectionWorker *worker_ = nullptr;
    QComboBox *cboDSNList_ = nullptr;
    QLineEdit *txtUID_ = nullptr;
    QLineEdit *txtPWD_ = nullptr;
    QFrame *fraDSN_ = nullptr;
    QFrame *fraBtn_ = nullptr;
    bool attempting_ = false;
    // Where the focus was when OK started the attempt; it goes back there on failure.
    QPointer<QWidget> focusBeforeAttempt_;
    std::optional<BusyCursor> busyCursor_;
};

// Shows the connection dialog for `connection` modally over the parent, built anew for this
// showing, and calls afterEachAttempt (if given) each time OK has tried to connect. With a
// worker (that has no job of its own on `connection`) the attempts run there.
void ShowConnectDialog(Connection &connection, QWidget *parent, ConnectionWorker *worker,
                       const std::function<void(const ConnectAttempt &)> &afterEachAttempt = {});
