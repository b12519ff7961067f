#include "ui/messageBoxPresenter.h"

#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QPointer>

namespace {

QMessageBox::Icon IconOf(int style) {
    switch (style & 0x70) {
        case MessageStyle::Critical:
            return QMessageBox::Critical;
        case MessageStyle::Exclamation:
            return QMessageBox::Warning;
        case MessageStyle::Information:
            return QMessageBox::Information;
        case 32:
            return QMessageBox::Question;
        default:
            return QMessageBox::NoIcon;
    }
}

}  // namespace

int MessageBoxPresenter::show(const QString &text, const QString &title, int style) {
    const QPointer<QWidget> behind = QApplication::activeWindow();
    // A box may come in the middle of a busy command: show the ordinary pointer over it.
    QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    const int answer = ask(text, title, style);
    QGuiApplication::restoreOverrideCursor();
    // Keys go to the window behind again, also where no window manager hands them back.
    if (behind && behind->isVisible()) {
        behind->activateWindow();
    }
    return answer;
}

int MessageBoxPresenter::ask(const QString &text, const QString &title, int style) {
    QMessageBox box(IconOf(style), title, text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    const bool yesNo = (style & 0x0F) == 4;
    if (!yesNo) {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.exec();
        return MessageResult::Ok;
    }
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton((style & 0x300) == 256 ? QMessageBox::No : QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? MessageResult::Yes : MessageResult::No;
}
