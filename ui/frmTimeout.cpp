#include "ui/frmTimeout.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "engines/basTimeout.h"
#include "ui/dialogButtons.h"

frmTimeout::frmTimeout(int timeout, QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmTimeout"));
    setWindowTitle(QStringLiteral("クエリ タイムアウト"));

    auto *imgIcon = new QLabel(this);
    imgIcon->setObjectName(QStringLiteral("imgIcon"));
    imgIcon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    auto *lblMsg = new QLabel(QStringLiteral("クエリ タイムアウト時間を入力"), this);
    lblMsg->setObjectName(QStringLiteral("lblMsg"));

    txtTimeout_ = new QLineEdit(this);
    txtTimeout_->setObjectName(QStringLiteral("txtTimeout"));
    txtTimeout_->setToolTip(QStringLiteral("秒単位で指定"));
    // The eight-digit limit is kept by the change rules rather than by maxLength, so that
    // pasted text is stripped to its digits before anything is cut off.
    txtTimeout_->setAttribute(Qt::WA_InputMethodEnabled, false);
    txtTimeout_->installEventFilter(this);

    const auto [fraBtn, cmdOK, cmdCancel] = MakeDialogButtons(this);

    auto *text = new QVBoxLayout;
    text->addWidget(lblMsg);
    text->addWidget(txtTimeout_);
    auto *top = new QHBoxLayout;
    top->addWidget(imgIcon, 0, Qt::AlignTop);
    top->addLayout(text, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(fraBtn);

    setTabOrder(txtTimeout_, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(txtTimeout_, &QLineEdit::textChanged, this, &frmTimeout::applyChangeRules);

    txtTimeout_->setText(QString::number(timeout));
    applyChangeRules();  // also when the text was already the same
    txtTimeout_->setFocus();
}

int frmTimeout::Timeout() const {
    return TimeoutTextToSeconds(txtTimeout_->text());
}

bool frmTimeout::ShowTimeoutDialog(int &timeout, QWidget *parent) {
    frmTimeout dialog(timeout, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    timeout = dialog.Timeout();
    return true;
}

void frmTimeout::applyChangeRules() {
    const QString normal = NormalizeTimeoutText(txtTimeout_->text());
    if (normal != txtTimeout_->text()) {
        txtTimeout_->setText(normal);  // runs the rules again, which then change nothing
    }
    putCaretAtEnd();
}

void frmTimeout::putCaretAtEnd() {
    txtTimeout_->deselect();
    txtTimeout_->setCursorPosition(static_cast<int>(txtTimeout_->text().size()));
}

bool frmTimeout::eventFilter(QObject *watched, QEvent *event) {
    if (watched != txtTimeout_) {
        return QDialog::eventFilter(watched, event);
    }
    if (event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::FocusIn) {
        // Let the box handle the event first: a press may have placed the caret or begun a
        // selection, and the box selects its text when focused by Tab. Both are taken back.
        static_cast<QObject *>(txtTimeout_)->event(event);
        putCaretAtEnd();
        return true;
    }
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    auto *key = static_cast<QKeyEvent *>(event);
    switch (key->key()) {
        case Qt::Key_Delete:
            // The caret stands at the end, so Delete removes the last digit like Backspace.
            txtTimeout_->backspace();
            return false;
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
            return true;
        default:
            break;
    }
    if (key->matches(QKeySequence::Paste)) {
        return false;  // pasted text goes through the change rules
    }
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        return true;  // control characters insert nothing
    }
    const QString text = key->text();
    if (text.isEmpty() || !text.front().isPrint()) {
        return false;  // Backspace, Enter, Escape, Tab, Home, End ...
    }
    for (const QChar character : text) {
        if (!IsTimeoutCharacter(character)) {
            return true;
        }
    }
    return false;
}
