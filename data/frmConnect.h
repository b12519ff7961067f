#pragma once

#include <QDialog>

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

private:
    void cmdOK_Click();
    void buildControls();
    void load();

    QComboBox *cboDSNList_ = nullptr;
    QLineEdit *txtUID_ = nullptr;
    QLineEdit *txtPWD_ = nullptr;
};

// Shows the connection dialog modally over the parent, built anew for this showing.
void ShowConnectDialog(QWidget *parent);
