#pragma once

#include <QDialog>

class QLineEdit;

// The query time-out dialog: one box that accepts only a whole number of seconds. It starts
// from the time-out given to it and hands back the new one after OK.
class frmTimeout : public QDialog {
    Q_OBJECT
public:
    explicit frmTimeout(int timeout, QWidget *parent = nullptr);

    // The seconds in the box.
    int Timeout() const;

    // Shows the dialog modally; after OK stores the new value in `timeout` and returns true.
    static bool ShowTimeoutDialog(int &timeout, QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyChangeRules();
    void putCaretAtEnd();

    QLineEdit *txtTimeout_;
};
