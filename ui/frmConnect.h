#pragma once

#include <QDialog>

#include <functional>

#include <QString>

class Connection;
class QComboBox;
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
class frmConnect : public QDialog {
    Q_OBJECT
public:
    explicit frmConnect(Connection &connection, QWidget *parent = nullptr);
    ~frmConnect() override;

    void done(int result) override;

signals:
    // OK has tried to open the connection, which is now open or closed.
    void ConnectionAttempted(const ConnectAttempt &attempt);

private:
    void cmdOK_Click();
    void buildControls();
    void load();

    Connection &connection_;
    QComboBox *cboDSNList_ = nullptr;
    QLineEdit *txtUID_ = nullptr;
    QLineEdit *txtPWD_ = nullptr;
};

// Shows the connection dialog for `connection` modally over the parent, built anew for this
// showing, and calls afterEachAttempt (if given) each time OK has tried to connect.
void ShowConnectDialog(Connection &connection, QWidget *parent,
                       const std::function<void(const ConnectAttempt &)> &afterEachAttempt = {});
