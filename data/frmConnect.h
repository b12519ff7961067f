#pragma once

#include <QDialog>

#include <functional>

class QComboBox;
class QLineEdit;

// The connection dialog: a data source picked from the driver manager's list or typed, a login
// name and a password. OK opens the shared connection and closes only when that succeeded;
// whenever it closes it stores the data source and login name (never the password).
class frmConnect : public QDialog {
    Q_OBJECT
public:
    explicit frmConnect(QWidget *parent = nullptr);
    ~frmConnect() override;

    void done(int result) override;

signals:
    // OK has tried to open the connection, which is now open or closed.
    void ConnectionAttempted();

private:
    void cmdOK_Click();
    void buildControls();
    void load();

    QComboBox *cboDSNList_ = nullptr;
    QLineEdit *txtUID_ = nullptr;
    QLineEdit *txtPWD_ = nullptr;
};

// Shows the connection dialog modally over the parent, built anew for this showing, and calls
// afterEachAttempt (if given) each time OK has tried to connect.
void ShowConnectDialog(QWidget *parent, const std::function<void()> &afterEachAttempt = {});
