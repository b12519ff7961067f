#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;

// The find dialog: edits the shared search word and whether case matters. It opens on the
// word it is given and the stored case option; OK stores the option and sets gSearchWord and
// gSearchIgnoreCase, Cancel changes nothing.
class frmSearch : public QDialog {
    Q_OBJECT
public:
    explicit frmSearch(const QString &word, QWidget *parent = nullptr);

    // The word and the case rule as the user left them (meaningful after OK).
    QString SearchWord() const;
    bool SearchIgnoreCase() const;

    // Shows the dialog modally on gSearchWord and waits until it is closed; true after OK.
    static bool ShowSearchDialog(QWidget *parent = nullptr);

private:
    void cmdOK_Click();

    QLineEdit *txtWord_;
    QCheckBox *chkUpperConv_;
};
