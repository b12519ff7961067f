#include "ui/frmSearch.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "core/settings.h"
#include "ui/dialogButtons.h"

frmSearch::frmSearch(const QString &word, QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSearch"));
    setWindowTitle(QStringLiteral("検索"));

    auto *imgIcon = new QLabel(this);
    imgIcon->setObjectName(QStringLiteral("imgIcon"));
    imgIcon->setPixmap(style()->standardIcon(QStyle::SP_FileDialogContentsView).pixmap(32, 32));
    auto *lblMsg = new QLabel(QStringLiteral("文字列を検索"), this);
    lblMsg->setObjectName(QStringLiteral("lblMsg"));
    auto *lblSearch = new QLabel(QStringLiteral("検索(&N)："), this);
    lblSearch->setObjectName(QStringLiteral("lblSearch"));
    txtWord_ = new QLineEdit(word, this);
    txtWord_->setObjectName(QStringLiteral("txtWord"));
    lblSearch->setBuddy(txtWord_);
    chkUpperConv_ = new QCheckBox(QStringLiteral("大文字小文字を区別(&C)"), this);
    chkUpperConv_->setObjectName(QStringLiteral("chkUpperConv"));
    // A stored value that is not a number reads as 0: the box stays unchecked.
    chkUpperConv_->setChecked(Settings::ReadInt(Settings::SearchUpper, 0) == 1);

    const auto [fraBtn, cmdOK, cmdCancel] = MakeDialogButtons(this);

    auto *wordRow = new QHBoxLayout;
    wordRow->addWidget(lblSearch);
    wordRow->addWidget(txtWord_, 1);
    auto *fields = new QVBoxLayout;
    fields->addWidget(lblMsg);
    fields->addLayout(wordRow);
    fields->addWidget(chkUpperConv_);
    auto *top = new QHBoxLayout;
    top->addWidget(imgIcon, 0, Qt::AlignTop);
    top->addLayout(fields, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(fraBtn);

    setTabOrder(txtWord_, chkUpperConv_);
    setTabOrder(chkUpperConv_, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    connect(cmdOK, &QPushButton::clicked, this, &frmSearch::cmdOK_Click);
    txtWord_->setFocus();
}

QString frmSearch::SearchWord() const {
    return txtWord_->text();
}

bool frmSearch::SearchIgnoreCase() const {
    return !chkUpperConv_->isChecked();
}

void frmSearch::cmdOK_Click() {
    Settings::Write(Settings::SearchUpper,
                    chkUpperConv_->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    accept();
}

std::optional<SearchChoice> frmSearch::ShowSearchDialog(const QString &word, QWidget *parent) {
    frmSearch dialog(word, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return SearchChoice{dialog.SearchWord(), dialog.SearchIgnoreCase()};
}
