#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;

// The find dialog: edits the word to look for and whether case matters. It opens on the word
// it is given and the stored case option; OK stores the option and hands back word and flag,
// Cancel changes nothing.
class frmSearch : public QDialog {
    Q_OBJECT
public:
    explicit frmSearch(const QString &word, QWidget *parent = nullptr);

    // The word and the case rule as the user left them (meaningful after OK).
    QString SearchWord() const;
    bool SearchIgnoreCase() const;

    // Shows the dialog modally. After OK stores the new word and flag in `word` and
    // `ignoreCase` and returns true; after Cancel leaves them as they were.
    static bool ShowSearchDialog(QString &word, bool &ignoreCase, QWidget *parent = nullptr);

private:
    void cmdOK_Click();

    QLineEdit *txtWord_;
    QCheckBox *chkUpperConv_;
};
