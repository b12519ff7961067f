// The main window's export command: the run-again result as a workbook in the user's
// documents folder, handed to the desktop.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

#include "tests/app/mainCommandsFixture.h"
#include "tests/files/xlsxReader.h"
#include "tests/support/recordingOpener.h"
#include "tests/support/recordingPresenter.h"
#include "tests/support/scopedDesktopOpener.h"
#include "ui/exportProgressDialog.h"

namespace {

// Points the user's documents folder into the test folder through the desktop's user-dirs file.
class DocumentsFolder {
public:
    explicit DocumentsFolder(const QString &folder)
        : file_(QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) +
                QStringLiteral("/user-dirs.dirs")) {
        QDir().mkpath(folder);
        WriteBytes(file_, "XDG_DOCUMENTS_DIR=\"" + folder.toUtf8() + "\"\n");
    }
    ~DocumentsFolder() { QFile::remove(file_); }

private:
    QString file_;
};

class ExportCommandTest : public TableListCommandTest {};

TEST_F(ExportCommandTest, ExportWritesTheRunAgainResultAndHandsItOver) {
    const QString documents = Path("documents");
    DocumentsFolder folder(documents);
    RecordingOpener opener;
    ScopedDesktopOpener installed(opener);
    window_->LoadNewDoc();
    Editor()->setText(
        QStringLiteral("SELECT '007' AS code, NULL AS empty_col, '日本語' AS jp\r\n"
                       "UNION ALL SELECT '1', 'x', 'y'"));
    Trigger("mnuToolExcel");
    ASSERT_TRUE(window_->WaitUntilIdle(std::chrono::seconds(30)));
    ASSERT_EQ(opener.opened.size(), 1);
    const QString path = opener.opened[0];
    EXPECT_EQ(QFileInfo(path).absolutePath(), documents + QStringLiteral("/Tessory"));
    EXPECT_TRUE(path.endsWith(QStringLiteral(".xlsx")));
    EXPECT_EQ(window_->PanelText(QStringLiteral("MESSAGE")), path);
    const ReadBack back = ReadXlsx(path);
    ASSERT_EQ(back.rows.size(), 3);
    EXPECT_EQ(back.value(0, 0).toString(), QStringLiteral("code"));
    EXPECT_EQ(back.value(0, 2).toString(), QStringLiteral("jp"));
    EXPECT_EQ(back.value(1, 0).toString(), QStringLiteral("007"));
    EXPECT_TRUE(back.value(1, 1).isNull() || back.value(1, 1).toString().isEmpty());
    EXPECT_EQ(back.value(1, 2).toString(), QStringLiteral("日本語"));
    EXPECT_EQ(back.value(2, 1).toString(), QStringLiteral("x"));
    EXPECT_EQ(window_->ActiveDoc()->RecordSet().State(), 0);  // handed over to the workbook
}

TEST_F(ExportCommandTest, NoApplicationForTheWorkbookIsReportedWithItsPath) {
    DocumentsFolder folder(Path("documents"));
    RecordingOpener opener;
    ScopedDesktopOpener installed(opener);
    opener.answer = false;
    window_->LoadNewDoc();
    Editor()->setText(QStringLiteral("SELECT 1 AS a"));
    RecordingPresenter presenter;
    Trigger("mnuToolExcel");
    ASSERT_TRUE(window_->WaitUntilIdle(std::chrono::seconds(30)));
    ASSERT_EQ(opener.opened.size(), 1);
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_TRUE(presenter.boxes()[0].text.contains(opener.opened[0]));
    EXPECT_TRUE(QFile::exists(opener.opened[0]));
}

TEST_F(ExportCommandTest, AFailedRunMakesNoWorkbook) {
    const QString documents = Path("documents");
    DocumentsFolder folder(documents);
    RecordingOpener opener;
    ScopedDesktopOpener installed(opener);
    window_->LoadNewDoc();
    Editor()->setText(QStringLiteral("SELECT * FROM no_such_table"));
    RecordingPresenter presenter;
    Trigger("mnuToolExcel");
    ASSERT_TRUE(window_->WaitUntilIdle(std::chrono::seconds(30)));
    EXPECT_EQ(presenter.boxes().size(), 1);
    EXPECT_TRUE(opener.opened.isEmpty());
    EXPECT_FALSE(QDir(documents + QStringLiteral("/Tessory")).exists() &&
                 !QDir(documents + QStringLiteral("/Tessory")).isEmpty());
}

TEST_F(ExportCommandTest, TheExportShowsItsProgressAndACancelLeavesNoWorkbook) {
    const QString documents = Path("documents");
    DocumentsFolder folder(documents);
    RecordingOpener opener;
    ScopedDesktopOpener installed(opener);
    window_->LoadNewDoc();
    Editor()->setText(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000000) "
        "SELECT i, 'line ' || i AS t FROM n"));
    RecordingPresenter presenter;
    Trigger("mnuToolExcel");
    // The rows are written on the worker while the dialog counts them.
    QPointer<ExportProgressDialog> dialog;
    QTRY_VERIFY_WITH_TIMEOUT((dialog = window_->findChild<ExportProgressDialog *>()) != nullptr,
                             30000);
    const auto counting = [&] {
        for (QLabel *label : dialog->findChildren<QLabel *>()) {
            if (label->text().contains(QStringLiteral("行を出力しました"))) {
                return true;
            }
        }
        return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(dialog && counting(), 30000);
    auto *cancel = window_->findChild<QAction *>(QStringLiteral("mnuQryCancel"));
    EXPECT_TRUE(cancel->isEnabled());
    cancel->trigger();
    ASSERT_TRUE(window_->WaitUntilIdle(std::chrono::seconds(30)));
    EXPECT_TRUE(presenter.boxes().isEmpty());
    EXPECT_TRUE(opener.opened.isEmpty());
    EXPECT_TRUE(QDir(documents + QStringLiteral("/Tessory"))
                    .entryList(QDir::Files | QDir::NoDotAndDotDot)
                    .isEmpty());
    EXPECT_EQ(window_->PanelText(QStringLiteral("PROGRESS")),
              QStringLiteral("エクセルへの出力を取り消しました"));
    QTRY_VERIFY(window_->findChild<ExportProgressDialog *>() == nullptr);
}

}  // namespace
