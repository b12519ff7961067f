#include <QAbstractItemModelTester>
#include <QBrush>
#include <QGuiApplication>
#include <QPalette>
#include <QSignalSpy>

#include "tests/data/databaseTest.h"
#include "ui/resultModel.h"

namespace {

// The model is the same whatever the driver; SQLite serves the rows.
class ResultModelTest : public testing::Test {
protected:
    void SetUp() override {
        connection.setConnectionString(QStringLiteral("DSN=") + SourceFor(TestDriver::Sqlite)->dsn);
        connection.Open();
    }
    Connection connection;
};

const char *kRows =
    "SELECT 1 AS id, '日本' AS name, NULL AS note UNION ALL "
    "SELECT 2, '', 'x' UNION ALL SELECT 3, NULL, '' ORDER BY id";

TEST_F(ResultModelTest, ShowsEveryRowWithFieldNamesAndKeepsNullApart) {
    Recordset rs;
    rs.Open(QString::fromUtf8(kRows), connection);
    ResultModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setRecordset(&rs);
    ASSERT_EQ(model.rowCount(), 3);
    ASSERT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("name"));
    EXPECT_EQ(model.headerData(2, Qt::Vertical).toInt(), 3);

    struct Cell {
        int row, column;
        const char *display;
        bool null;
    };
    const Cell cells[] = {
        {0, 1, "日本", false}, {0, 2, "NULL", true}, {1, 1, "", false},
        {1, 2, "x", false},    {2, 1, "NULL", true}, {2, 2, "", false},
    };
    const QBrush grey = QGuiApplication::palette().brush(QPalette::PlaceholderText);
    for (const Cell &cell : cells) {
        SCOPED_TRACE(testing::Message() << cell.row << "," << cell.column);
        const QModelIndex index = model.index(cell.row, cell.column);
        EXPECT_EQ(model.data(index).toString(), QString::fromUtf8(cell.display));
        EXPECT_EQ(model.data(index, ResultModel::NullRole).toBool(), cell.null);
        // NULL is grey; a value keeps the view's own colour.
        const QVariant foreground = model.data(index, Qt::ForegroundRole);
        EXPECT_EQ(foreground.isValid(), cell.null);
        if (cell.null) {
            EXPECT_EQ(foreground.value<QBrush>(), grey);
        }
        EXPECT_EQ(model.data(index, Qt::UserRole).isValid(), !cell.null);
        EXPECT_FALSE(model.flags(index) & Qt::ItemIsEditable);
        EXPECT_FALSE(model.setData(index, QStringLiteral("changed")));
    }
}

TEST_F(ResultModelTest, FollowsTheRecordsetThroughCloseOpenAndDestruction) {
    auto rs = std::make_unique<Recordset>();
    ResultModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setRecordset(rs.get());
    EXPECT_EQ(model.rowCount(), 0);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);

    rs->Open(QString::fromUtf8(kRows), connection);
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(model.rowCount(), 3);

    rs->Close();
    EXPECT_EQ(resets.count(), 2);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.columnCount(), 0);

    rs->Open(QStringLiteral("SELECT 'a' AS only_one"), connection);
    EXPECT_EQ(model.columnCount(), 1);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("only_one"));

    // A failed open changes nothing.
    rs->Close();
    resets.clear();
    EXPECT_THROW(rs->Open(QStringLiteral("SELECT * FROM missing_table"), connection), Failure);
    EXPECT_EQ(resets.count(), 0);

    rs->Open(QString::fromUtf8(kRows), connection);
    rs.reset();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.recordset(), nullptr);
}

}  // namespace
