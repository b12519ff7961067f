#pragma once

#include <QDialog>
#include <QString>

#include <optional>

class QCheckBox;
class QLineEdit;

// What the user chose in the find dialog: the word and whether case is ignored.
struct SearchChoice {
    QString word;
    bool ignoreCase = false;
};

// The find dialog: edits a search word and whether case matters. It opens on the word it is
// given and the stored case option; OK stores the option and hands back the choice, Cancel
// changes nothing.
class frmSearch : public QDialog {
    Q_OBJECT
public:
    explicit frmSearch(const QString &word, QWidget *parent = nullptr);

    // The word and the case rule as the user left them (meaningful after OK).
    QString SearchWord() const;
    bool SearchIgnoreCase() const;

    // Shows the dialog modally on `word` and waits until it is closed; the choice after OK,
    // nothing after Cancel.
    static std::optional<SearchChoice> ShowSearchDialog(const QString &word,
                                                        QWidget *parent = nullptr);

private:
    void cmdOK_Click();

    QLineEdit *txtWord_;
    QCheckBox *chkUpperConv_;
};
