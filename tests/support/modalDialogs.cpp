#include "tests/support/modalDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "ui/frmConnect.h"

void AnswerNextDialog(std::function<void(QWidget *)> answer) {
    QTimer::singleShot(0, [answer] {
        QWidget *dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr) << "no modal dialog shown";
        answer(dialog);
    });
}

void RejectUnexpectedDialog(QWidget *dialog) {
    ADD_FAILURE() << "dialog not expected: " << dialog->metaObject()->className() << " "
                  << dialog->objectName().toStdString();
    CloseIfOpen(dialog);
}

void CloseIfOpen(QWidget *dialog) {
    if (!dialog->isVisible()) {
        return;
    }
    if (auto *modal = qobject_cast<QDialog *>(dialog)) {
        modal->reject();
    } else {
        dialog->close();
    }
}

bool WaitForConnectAttempt(QWidget *dialog, std::chrono::milliseconds limit) {
    auto *connect = qobject_cast<frmConnect *>(dialog);
    if (!connect) {
        ADD_FAILURE() << "not the connection dialog";
        return false;
    }
    if (!QTest::qWaitFor([connect] { return !connect->Attempting(); }, int(limit.count()))) {
        ADD_FAILURE() << "the connection attempt did not end";
        return false;
    }
    return true;
}

void PressButton(QWidget *dialog, const char *name) {
    auto *button = dialog->findChild<QPushButton *>(QString::fromLatin1(name));
    ASSERT_NE(button, nullptr) << name;
    QTest::mouseClick(button, Qt::LeftButton);
}

DialogScript::DialogScript(QList<DialogStep> steps) : steps_(std::move(steps)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
    timer_.start(5);
}

DialogScript::~DialogScript() {
    EXPECT_TRUE(steps_.isEmpty()) << steps_.size() << " dialog(s) not shown";
}

void DialogScript::answer() {
    QWidget *dialog = QApplication::activeModalWidget();
    if (!dialog || !dialog->isVisible()) {
        return;
    }
    if (steps_.isEmpty()) {
        RejectUnexpectedDialog(dialog);  // left open after its step, or not expected at all
        return;
    }
    const DialogStep step = steps_.takeFirst();
    step(dialog);
}

QFileDialog *AsFileDialog(QWidget *dialog) {
    auto *files = qobject_cast<QFileDialog *>(dialog);
    EXPECT_NE(files, nullptr) << "not a file dialog: " << dialog->objectName().toStdString();
    return files;
}

DialogStep ChooseFile(const QString &path) {
    return [path](QWidget *dialog) {
        if (QFileDialog *files = AsFileDialog(dialog)) {
            files->selectFile(path);
            auto *buttons = files->findChild<QDialogButtonBox *>();
            ASSERT_NE(buttons, nullptr);
            QPushButton *accept = buttons->button(files->acceptMode() == QFileDialog::AcceptOpen
                                                      ? QDialogButtonBox::Open
                                                      : QDialogButtonBox::Save);
            ASSERT_NE(accept, nullptr);
            QTest::mouseClick(accept, Qt::LeftButton);
        }
    };
}

DialogStep Cancel() {
    return [](QWidget *dialog) { qobject_cast<QDialog *>(dialog)->reject(); };
}
