// The export's progress, its cancel, and what a write that does not finish leaves behind.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "files/xlsxExport.h"
#include "tests/files/listSource.h"
#include "tests/files/xlsxReader.h"
#include "tests/support/recordingOpener.h"
#include "tests/support/recordingPresenter.h"

namespace {

constexpr std::int64_t kStep = XlsxWriteControl::kProgressRows;

class ExportCancelTest : public testing::Test {
protected:
    QString path(const char *name) const { return dir_.filePath(QString::fromLatin1(name)); }
    QStringList filesIn(const QString &folder) const {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden);
    }
    QTemporaryDir dir_;
};

TEST_F(ExportCancelTest, ProgressComesEveryStepOfRowsAndTheWorkbookIsWhole) {
    const int rows = int(2 * kStep + kStep / 2);
    ListSource source = NumberedRows(rows);
    QList<std::int64_t> progress;
    XlsxWriteControl control;
    control.progress = [&](std::int64_t written) { progress.append(written); };
    control.cancelled = [] { return false; };
    const XlsxWriteResult result = WriteXlsx(source, path("all.xlsx"), control);
    EXPECT_EQ(result.rowsWritten, rows);
    EXPECT_FALSE(result.cancelled);
    EXPECT_FALSE(result.stopped);
    EXPECT_EQ(progress, (QList<std::int64_t>{kStep, 2 * kStep}));
    const ReadBack back = ReadXlsx(path("all.xlsx"));
    ASSERT_EQ(back.rows.size(), rows + 1);
    EXPECT_EQ(back.value(rows, 0).toString(), QStringLiteral("r%1").arg(rows));
}

// A write that is cancelled or fails leaves no file; one that runs out of sheet keeps the rows
// that fit.
TEST_F(ExportCancelTest, WhatAWriteThatStopsLeavesBehind) {
    enum class Ends { Cancelled, Throws, KeepsTheFile };
    struct Case {
        const char *name;
        const char *file;
        qsizetype failAt;       // the source fails at this row; -1: never
        std::int64_t cancelAt;  // cancel once this many rows are written; -1: never
        std::uint32_t sheetRows;
        Ends ends;
        std::int64_t rowsWritten;
    };
    const Case cases[] = {
        {"cancel after the first progress", "cancel.xlsx", -1, kStep, XlsxWorkbook::kSheetRows,
         Ends::Cancelled, kStep},
        {"cancel before the first row", "early.xlsx", -1, 0, XlsxWorkbook::kSheetRows,
         Ends::Cancelled, 0},
        {"source fails", "source.xlsx", kStep + 3, -1, XlsxWorkbook::kSheetRows, Ends::Throws, 0},
        {"file cannot be written", "missing/folder.xlsx", -1, -1, XlsxWorkbook::kSheetRows,
         Ends::Throws, 0},
        {"sheet full", "full.xlsx", -1, -1, 11, Ends::KeepsTheFile, 10},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.name);
        ListSource source = NumberedRows(int(2 * kStep));
        source.failAt = test.failAt;
        std::int64_t written = 0;
        XlsxWriteControl control;
        control.progress = [&](std::int64_t rows) { written = rows; };
        control.cancelled = [&] { return test.cancelAt >= 0 && written >= test.cancelAt; };
        const QString file = path(test.file);
        if (test.ends == Ends::Throws) {
            EXPECT_THROW(WriteXlsx(source, file, control, test.sheetRows), Failure);
            EXPECT_FALSE(QFile::exists(file));
            continue;
        }
        const XlsxWriteResult result = WriteXlsx(source, file, control, test.sheetRows);
        EXPECT_EQ(result.rowsWritten, test.rowsWritten);
        EXPECT_EQ(result.cancelled, test.ends == Ends::Cancelled);
        EXPECT_EQ(QFile::exists(file), test.ends == Ends::KeepsTheFile);
        if (test.ends == Ends::KeepsTheFile) {
            EXPECT_TRUE(result.stopped);
            EXPECT_EQ(ReadXlsx(file).rows.size(), test.rowsWritten + 1);
        }
    }
}

// The two steps of the export: writing (no box, any thread) and telling the user.
TEST_F(ExportCancelTest, TheWritingStepShowsNothingAndTheReportTellsTheOutcome) {
    struct Case {
        const char *name;
        qsizetype failAt;
        bool cancel;
        bool kept;
        int boxes;  // shown by ReportExport
    };
    const Case cases[] = {
        {"written", -1, false, true, 0},
        {"cancelled", -1, true, false, 0},
        {"source fails", 2, false, false, 1},
    };
    int run = 0;
    for (const Case &test : cases) {
        SCOPED_TRACE(test.name);
        const QString folder = dir_.filePath(QStringLiteral("run%1").arg(++run));
        ListSource source = NumberedRows(5);
        source.failAt = test.failAt;
        XlsxWriteControl control;
        control.cancelled = [&] { return test.cancel; };
        RecordingPresenter presenter;
        const ExportOutcome outcome = WriteExport(source, control, folder);
        EXPECT_TRUE(presenter.boxes().isEmpty());
        EXPECT_EQ(outcome.cancelled, test.cancel);
        EXPECT_EQ(outcome.path.isEmpty(), !test.kept);
        EXPECT_EQ(filesIn(folder).size(), test.kept ? 1 : 0)
            << filesIn(folder).join(u' ').toStdString();
        EXPECT_EQ(outcome.failure.has_value(), test.failAt >= 0);

        RecordingOpener opener;
        const QString shown = ReportExport(outcome, opener);
        EXPECT_EQ(shown, outcome.path);
        EXPECT_EQ(opener.opened, test.kept ? QStringList{outcome.path} : QStringList{});
        ASSERT_EQ(presenter.boxes().size(), test.boxes);
        if (test.boxes > 0) {
            EXPECT_EQ(presenter.boxes()[0].text, QStringLiteral("読み取りに失敗しました。"));
        }
    }
}

}  // namespace
