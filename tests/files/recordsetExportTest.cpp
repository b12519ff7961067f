#include <QFile>
#include <QTemporaryDir>

#include "files/recordsetRowSource.h"
#include "tests/data/databaseTest.h"
#include "tests/files/xlsxReader.h"
#include "tests/support/recordingOpener.h"
#include "tests/support/recordingPresenter.h"

namespace {

class RecordsetExportTest : public DatabaseTest {
protected:
    QTemporaryDir dir;
};

TEST_P(RecordsetExportTest, ExportsEveryRowOfAQueryResult) {
    const QString t = table(QStringLiteral("export"));
    Exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(t));
    Exec(QStringLiteral("CREATE TABLE %1 (id integer, code varchar(10), name varchar(40))").arg(t));
    Exec(QStringLiteral("INSERT INTO %1 VALUES (1, '007', '日本語㈱')").arg(t));
    Exec(QStringLiteral("INSERT INTO %1 VALUES (2, NULL, '')").arg(t));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT id, code, name AS 名前 FROM %1 ORDER BY id").arg(t), connection);
    rs.MoveLast();  // the export starts at the first row wherever the current row stands

    RecordsetRowSource source(rs);
    const XlsxWriteResult result = WriteXlsx(source, dir.filePath("rs.xlsx"));
    EXPECT_EQ(result.rowsWritten, 2);
    EXPECT_EQ(rs.AbsolutePosition(), 1) << "current row unchanged";

    const ReadBack back = ReadXlsx(dir.filePath("rs.xlsx"));
    ASSERT_EQ(back.rows.size(), 3);
    const QJsonValue expected[3][3] = {{"id", "code", QStringLiteral("名前")},
                                       {"1", "007", QStringLiteral("日本語㈱")},
                                       {"2", QJsonValue::Null, QJsonValue::Null}};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            EXPECT_EQ(back.value(row, column), expected[row][column]) << row << "," << column;
            EXPECT_EQ(back.cell(row, column).value("format").toString(), "@");
        }
    }
}

TEST_P(RecordsetExportTest, ClosedRecordsetReportsAndWritesNoFile) {
    Recordset rs;
    RecordsetRowSource source(rs);
    RecordingPresenter presenter;
    RecordingOpener opener;
    const QString folder = dir.filePath("Tessory");
    EXPECT_TRUE(ExportToExcel(source, opener, folder).isEmpty());
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_TRUE(opener.opened.isEmpty());
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files).isEmpty());
}

TESSORY_ALL_DRIVERS(RecordsetExportTest);

}  // namespace
