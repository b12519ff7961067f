#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "files/xlsxExport.h"
#include "tests/files/listSource.h"
#include "tests/files/xlsxReader.h"
#include "tests/support/recordingOpener.h"
#include "tests/support/recordingPresenter.h"
#include "tests/support/testEnvironment.h"

namespace {

class XlsxExportTest : public testing::Test {
protected:
    QString path(const char *name) const { return dir_.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir_;
};

TEST_F(XlsxExportTest, WritesHeaderValuesAndNullsAsTextInEveryColumn) {
    ListSource source({QStringLiteral("id"), QStringLiteral("名前"), QStringLiteral("memo")},
                      {
                          Row{Text("007"), Text(QStringLiteral("山田 太郎")), Null()},
                          Row{Text("1e3"), Text(""), Text("=1+1")},
                          Row{Null(), Text("a<b>&\"c\""), Text("line1\nline2")},
                      });
    const XlsxWriteResult result = WriteXlsx(source, path("out.xlsx"));
    EXPECT_EQ(result.rowsWritten, 3);
    EXPECT_FALSE(result.stopped.has_value());

    const ReadBack back = ReadXlsx(path("out.xlsx"));
    EXPECT_EQ(back.sheets.size(), 1);
    ASSERT_EQ(back.columns.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const QJsonObject column = back.columns.at(i).toObject();
        EXPECT_EQ(column.value("min").toInt(), i + 1);
        EXPECT_EQ(column.value("max").toInt(), i + 1);
        EXPECT_EQ(column.value("format").toString(), "@") << "column " << i;
    }
    ASSERT_EQ(back.rows.size(), 4);
    const QStringList header{"id", QStringLiteral("名前"), "memo"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(back.value(0, i).toString(), header[i]);
    }
    struct Expected {
        const char *name;
        int row, column;
        QJsonValue value;
    };
    const Expected cells[] = {
        {"leading zeros kept", 1, 0, "007"},
        {"Japanese text", 1, 1, QStringLiteral("山田 太郎")},
        {"NULL is empty", 1, 2, QJsonValue::Null},
        {"number-like text stays text", 2, 0, "1e3"},
        {"empty string is empty", 2, 1, QJsonValue::Null},
        {"formula-like text stays text", 2, 2, "=1+1"},
        {"NULL in first column", 3, 0, QJsonValue::Null},
        {"markup characters", 3, 1, "a<b>&\"c\""},
        {"line break inside a value", 3, 2, "line1\nline2"},
    };
    for (const Expected &e : cells) {
        EXPECT_EQ(back.value(e.row, e.column), e.value) << e.name;
        EXPECT_EQ(back.cell(e.row, e.column).value("format").toString(), "@") << e.name;
        if (!e.value.isNull()) {
            EXPECT_EQ(back.cell(e.row, e.column).value("type").toString(), "s") << e.name;
        }
    }
}

TEST_F(XlsxExportTest, RowCountsAroundTheBlockSize) {
    for (const int count : {0, 1, 100, 101}) {
        ListSource source = NumberedRows(count);
        const QString file = path("rows.xlsx");
        QFile::remove(file);
        EXPECT_EQ(WriteXlsx(source, file).rowsWritten, count);
        const ReadBack back = ReadXlsx(file);
        ASSERT_EQ(back.rows.size(), count + 1) << count << " rows";
        EXPECT_EQ(back.value(0, 0).toString(), "n");
        if (count > 0) {
            EXPECT_EQ(back.value(1, 0).toString(), "r1");
            EXPECT_EQ(back.value(count, 0).toString(), QStringLiteral("r%1").arg(count));
        }
    }
}

TEST_F(XlsxExportTest, StopsAtTheLastSheetRowAndKeepsTheRowsWritten) {
    ListSource source = NumberedRows(10);
    // A sheet of 5 rows: the header and 4 data rows.
    const XlsxWriteResult result = WriteXlsx(source, path("full.xlsx"), {}, 5);
    EXPECT_EQ(result.rowsWritten, 4);
    ASSERT_TRUE(result.stopped.has_value());
    EXPECT_EQ(result.stopped->number, FailureNumber::Overflow);

    const ReadBack back = ReadXlsx(path("full.xlsx"));
    ASSERT_EQ(back.rows.size(), 5);
    EXPECT_EQ(back.value(4, 0).toString(), "r4");
}

TEST_F(XlsxExportTest, ExactlyFullSheetIsNoFailure) {
    ListSource source = NumberedRows(4);
    const XlsxWriteResult result = WriteXlsx(source, path("exact.xlsx"), {}, 5);
    EXPECT_EQ(result.rowsWritten, 4);
    EXPECT_FALSE(result.stopped.has_value());
}

TEST_F(XlsxExportTest, TooLongValueStopsWithARowAndColumnInTheMessage) {
    ListSource source({"a", "b"}, {Row{Text("ok"), Text("ok")},
                                   Row{Text("x"), Text(QString(32768, QLatin1Char('y')))}});
    const XlsxWriteResult result = WriteXlsx(source, path("long.xlsx"));
    ASSERT_TRUE(result.stopped.has_value());
    EXPECT_TRUE(result.stopped->description.contains(QStringLiteral("3 行 2 列")))
        << result.stopped->description.toStdString();
    EXPECT_EQ(ReadXlsx(path("long.xlsx")).value(1, 0).toString(), "ok");
}

// A value too long for a cell stops the export before its row: the workbook holds the rows
// before it, each whole, and nothing of the row named in the message.
TEST_F(XlsxExportTest, ATooLongValueLeavesNoHalfWrittenRow) {
    const QString tooLong(32768, QLatin1Char('y'));
    QString astral;  // 32,767 characters of two UTF-16 units each: still fits
    for (int i = 0; i < 32767; ++i) {
        astral += QStringLiteral("😀");
    }
    const struct {
        const char *name;
        int column;  // 0-based column of the long value in row 3
        QString value;
        bool fits;
    } rows[] = {
        {"first_column", 0, tooLong, false},
        {"middle_column", 1, tooLong, false},
        {"last_column", 2, tooLong, false},
        {"longest_that_fits", 1, QString(32767, QLatin1Char('y')), true},
        {"astral_characters_that_fit", 2, astral, true},
        {"one_astral_character_too_many", 2, astral + QStringLiteral("😀"), false},
    };
    for (const auto &row : rows) {
        Row third{Text("a3"), Text("b3"), Text("c3")};
        third[row.column] = Text(row.value);
        ListSource source({"a", "b", "c"}, {Row{Text("a1"), Text("b1"), Null()},
                                            Row{Text("a2"), Text("b2"), Text("c2")}, third,
                                            Row{Text("a4"), Text("b4"), Text("c4")}});
        const QString file = path("long.xlsx");
        QFile::remove(file);
        const XlsxWriteResult result = WriteXlsx(source, file);
        EXPECT_EQ(result.stopped.has_value(), !row.fits) << row.name;
        EXPECT_EQ(result.rowsWritten, row.fits ? 4 : 2) << row.name;
        if (result.stopped) {
            EXPECT_TRUE(result.stopped->description.contains(
                QStringLiteral("4 行 %1 列").arg(row.column + 1)))
                << row.name << ": " << result.stopped->description.toStdString();
        }
        const ReadBack back = ReadXlsx(file);
        ASSERT_EQ(back.rows.size(), row.fits ? 5 : 3) << row.name;
        EXPECT_EQ(back.value(2, 2).toString(), "c2") << row.name;  // the last whole row
        if (row.fits) {
            EXPECT_EQ(back.value(3, row.column).toString(), row.value) << row.name;
            EXPECT_EQ(back.value(4, 0).toString(), "a4") << row.name;
        }
    }
}

TEST_F(XlsxExportTest, ReservedNamesFollowTheClockAndNeverReuseAFile) {
    const QString folder = dir_.filePath("docs/Tessory");  // created on demand
    const QDateTime now(QDate(2024, 3, 5), QTime(7, 8, 9));
    const QString first = ReserveExportFile(folder, now);
    EXPECT_EQ(first, folder + "/20240305_070809.xlsx");
    QFile existing(first);
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("keep me");
    existing.close();

    const QString second = ReserveExportFile(folder, now);
    const QString third = ReserveExportFile(folder, now);
    EXPECT_EQ(second, folder + "/20240305_070809_2.xlsx");
    EXPECT_EQ(third, folder + "/20240305_070809_3.xlsx");
    QFile kept(first);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "keep me");
}

TEST_F(XlsxExportTest, ExportWritesANewWorkbookAndOpensIt) {
    ListSource source({QStringLiteral("列")}, {Row{Text("1")}});
    RecordingOpener opener;
    const QString folder = dir_.filePath("Tessory");
    const QString written = ExportToExcel(source, opener, folder);
    ASSERT_FALSE(written.isEmpty());
    EXPECT_TRUE(written.startsWith(folder + "/"));
    EXPECT_EQ(opener.opened, QStringList{written});
    EXPECT_EQ(ReadXlsx(written).value(1, 0).toString(), "1");
}

TEST_F(XlsxExportTest, ExportReportsAFullSheetAndStillOpensThePartialWorkbook) {
    // The real sheet limit: one narrow column of 1,048,576 rows, one more than fits.
    class CountingSource : public RowSource {
    public:
        int FieldCount() const override { return 1; }
        QString FieldName(int) const override { return QStringLiteral("n"); }
        bool NextRow(Row &row) override {
            if (served_ == 1048576) {
                return false;
            }
            ++served_;
            row[0] = ExportCell{QStringLiteral("x"), false};
            return true;
        }

    private:
        int served_ = 0;
    } source;
    RecordingPresenter presenter;
    RecordingOpener opener;
    const QString written = ExportToExcel(source, opener, dir_.filePath("Tessory"));
    ASSERT_FALSE(written.isEmpty());
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_TRUE(presenter.boxes()[0].text.contains(QStringLiteral("1,048,576")));
    EXPECT_EQ(opener.opened, QStringList{written});
    EXPECT_GT(QFileInfo(written).size(), 0);
}

TEST_F(XlsxExportTest, ExportSaysSoWhenNoApplicationOpensTheWorkbook) {
    ListSource source({"a"}, {});
    RecordingPresenter presenter;
    RecordingOpener opener;
    opener.answer = false;
    const QString written = ExportToExcel(source, opener, dir_.filePath("Tessory"));
    // The workbook is there; the box informs, it does not report an error.
    ASSERT_FALSE(written.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(written));
    EXPECT_EQ(opener.opened, QStringList{written});
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_EQ(presenter.boxes()[0].style, MessageStyle::Information);
    EXPECT_EQ(presenter.boxes()[0].title, QStringLiteral("情報"));
    EXPECT_EQ(presenter.boxes()[0].text,
              QStringLiteral("エクスポートしたファイルを次の場所に保存しました。\n") + written +
                  QStringLiteral("\n\nこのファイルを開くアプリケーションが見つからないため、"
                                 "ファイルは開いていません。"));
}

TEST_F(XlsxExportTest, ExportIntoAnUnusableFolderReportsAndLeavesNoFile) {
    QFile blocker(dir_.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ListSource source({"a"}, {Row{Text("1")}});
    RecordingPresenter presenter;
    RecordingOpener opener;
    EXPECT_TRUE(ExportToExcel(source, opener, dir_.filePath("blocker/Tessory")).isEmpty());
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_TRUE(opener.opened.isEmpty());
}

}  // namespace
