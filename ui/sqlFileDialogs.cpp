#include "ui/sqlFileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "core/clsMsg.h"

namespace {

enum class Mode { Open, Save };

void Configure(QFileDialog &dialog, Mode mode, const QString &initialPath) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode == Mode::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The dialog asks itself, below, so that both dialogs ask alike.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filters = {QStringLiteral("SQLファイル (*.sql)"),
                                 QStringLiteral("すべてのファイル (*.*)")};
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.first());
    const QFileInfo initial(initialPath);
    if (!initialPath.isEmpty() && initial.absoluteDir().exists()) {
        dialog.setDirectory(initial.absolutePath());
        dialog.selectFile(initial.fileName());
    } else {
        dialog.setDirectory(QDir::rootPath());
    }
}

// The questions and refusals that come before a chosen file is returned. False sends the
// user back to the dialog.
bool AcceptChoice(Mode mode, const QString &path) {
    const QFileInfo file(path);
    if (file.exists()) {
        if (!file.isWritable()) {
            clsMsg().ShowMessage(
                QStringLiteral(
                    "%1\nこのファイルは読み取り専用です。別のファイルを指定してください。")
                    .arg(path));
            return false;
        }
        if (mode == Mode::Save) {
            return clsMsg().ShowQuestion(
                       QStringLiteral("%1 は既に存在します。\n上書きしますか?").arg(path)) ==
                   MessageResult::Yes;
        }
        return true;
    }
    if (!QFileInfo(file.absolutePath()).isWritable()) {
        clsMsg().ShowMessage(
            QStringLiteral(
                "%1\nこのフォルダーには書き込めません。別のフォルダーを指定してください。")
                .arg(file.absolutePath()));
        return false;
    }
    return clsMsg().ShowQuestion(
               QStringLiteral("%1 は存在しません。\nファイルを作成しますか?").arg(path)) ==
           MessageResult::Yes;
}

bool ShowDialog(QWidget *parent, Mode mode, const QString &initialPath, QString &chosenPath) {
    chosenPath.clear();
    QFileDialog dialog(parent);
    Configure(dialog, mode, initialPath);
    while (dialog.exec() == QDialog::Accepted) {
        const QStringList files = dialog.selectedFiles();
        if (files.isEmpty()) {
            continue;
        }
        if (AcceptChoice(mode, files.first())) {
            if (parent) {
                parent->window()->repaint();
            }
            chosenPath = QDir::toNativeSeparators(files.first());
            return true;
        }
    }
    return false;
}

}  // namespace

bool ShowOpenDialog(QWidget *parent, const QString &initialPath, QString &chosenPath) {
    return ShowDialog(parent, Mode::Open, initialPath, chosenPath);
}

bool ShowSaveDialog(QWidget *parent, const QString &initialPath, QString &chosenPath) {
    return ShowDialog(parent, Mode::Save, initialPath, chosenPath);
}
