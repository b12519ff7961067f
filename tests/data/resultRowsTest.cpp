#include <gtest/gtest.h>

#include <QString>

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "data/cancelSwitch.h"
#include "data/cellStore.h"
#include "data/layerFailure.h"
#include "data/recordset.h"
#include "data/resultRows.h"
#include "data/statementCancel.h"

namespace {

using Value = std::optional<QString>;  // nothing: NULL

// A segment of two columns: "r<row>" and, every third row, NULL else "v<row>" repeated.
CellStore Segment(qsizetype first, qsizetype rows, int repeat = 1) {
    CellStore store(2);
    for (qsizetype row = first; row < first + rows; ++row) {
        const QString key = QStringLiteral("r%1").arg(row);
        store.appendPiece(reinterpret_cast<const char16_t *>(key.utf16()), key.size());
        store.endCell();
        if (row % 3 == 0) {
            store.appendNull();
        } else {
            const QString value = QStringLiteral("値%1").arg(row).repeated(repeat);
            store.appendPiece(reinterpret_cast<const char16_t *>(value.utf16()), value.size());
            store.endCell();
        }
    }
    return store;
}

Value Expected(qsizetype row, int column, int repeat = 1) {
    if (column == 0) {
        return QStringLiteral("r%1").arg(row);
    }
    if (row % 3 == 0) {
        return std::nullopt;
    }
    return QStringLiteral("値%1").arg(row).repeated(repeat);
}

TEST(ResultRowsTest, RowsOverSegmentsComeBackInOrder) {
    struct Case {
        const char *name;
        std::vector<qsizetype> segments;  // rows of each segment appended
    };
    const std::vector<Case> cases = {
        {"no segment", {}},
        {"one segment", {5}},
        {"a first row alone, then more", {1, 4, 7}},
        {"empty segments are dropped", {0, 2, 0, 3, 0}},
        {"many one-row segments", std::vector<qsizetype>(40, 1)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ResultRows rows(2);
        qsizetype total = 0;
        int nonEmpty = 0;
        for (const qsizetype count : c.segments) {
            rows.append(Segment(total, count));
            total += count;
            nonEmpty += count > 0 ? 1 : 0;
        }
        ASSERT_EQ(rows.rowCount(), total);
        EXPECT_EQ(rows.segmentCount(), nonEmpty);
        for (qsizetype row = 0; row < total; ++row) {
            for (int column = 0; column < 2; ++column) {
                const Value expected = Expected(row, column);
                EXPECT_EQ(rows.isNull(row, column), !expected.has_value()) << row;
                EXPECT_EQ(rows.text(row, column).toString(), expected.value_or(QString())) << row;
            }
        }
    }
}

TEST(ResultRowsTest, AppendTakesTheSegmentsTextWithoutCopyingIt) {
    ResultRows rows(2);
    CellStore segment = Segment(0, 10);
    const char16_t *text = segment.text(1, 1).utf16();
    rows.append(std::move(segment));
    EXPECT_EQ(rows.text(1, 1).utf16(), text);
    EXPECT_THROW(rows.append(CellStore(3)), std::invalid_argument);
}

// A sealed segment keeps no spare room: a store of a few rows would otherwise hold a whole
// chunk of the arena, and a streamed result of many small segments many times its text.
TEST(ResultRowsTest, SqueezeGivesBackTheArenasSpareRoomAndKeepsTheValues) {
    for (const qsizetype count : {qsizetype(0), qsizetype(1), qsizetype(3000)}) {
        SCOPED_TRACE(count);
        CellStore store = Segment(0, count, 40);
        store.squeeze();
        EXPECT_EQ(store.textCapacity(), store.textLength());
        for (qsizetype row = 0; row < count; ++row) {
            ASSERT_EQ(store.text(row, 1).toString(), Expected(row, 1, 40).value_or(QString()));
        }
        // Rows appended later go to a new chunk and leave the earlier ones in place.
        const QString value = QStringLiteral("after");
        store.appendPiece(reinterpret_cast<const char16_t *>(value.utf16()), value.size());
        store.endCell();
        store.appendNull();
        EXPECT_EQ(store.text(count, 0).toString(), value);
        if (count > 1) {
            EXPECT_EQ(store.text(count - 1, 1).toString(),
                      Expected(count - 1, 1, 40).value_or(QString()));
        }
    }
}

TEST(CancelSwitchTest, ARequestReachesTheStatementAttachedBeforeOrAfterIt) {
    {
        CancelSwitch cancel;
        StatementCancel statement;
        cancel.Attach(statement);
        EXPECT_EQ(statement.reason(), CancelReason::None);
        cancel.Request();
        EXPECT_EQ(statement.reason(), CancelReason::Requested);
        cancel.Detach();
    }
    {
        CancelSwitch cancel;
        cancel.Request();
        EXPECT_TRUE(cancel.Requested());
        StatementCancel statement;
        cancel.Attach(statement);
        EXPECT_EQ(statement.reason(), CancelReason::Requested);
        cancel.Detach();
    }
    {
        // A detached statement is left alone: it may already be gone.
        CancelSwitch cancel;
        StatementCancel statement;
        cancel.Attach(statement);
        cancel.Detach();
        cancel.Request();
        EXPECT_EQ(statement.reason(), CancelReason::None);
    }
}

// Records the recordset's signals in order, until it is destroyed (its connections go with it,
// also when the recordset outlives it).
class SignalLog {
public:
    using Log = std::vector<std::string>;

    explicit SignalLog(Recordset &rs) {
        QObject::connect(&rs, &Recordset::aboutToChange, &context_,
                         [this] { log_.push_back("aboutToChange"); });
        QObject::connect(&rs, &Recordset::opened, &context_, [this] { log_.push_back("opened"); });
        QObject::connect(&rs, &Recordset::closed, &context_, [this] { log_.push_back("closed"); });
        QObject::connect(&rs, &Recordset::currentRowChanged, &context_,
                         [this](qsizetype row) { log_.push_back("row " + std::to_string(row)); });
        QObject::connect(&rs, &Recordset::rowsAboutToBeAppended, &context_,
                         [this, &rs](qsizetype first, qsizetype last) {
                             log_.push_back("append " + std::to_string(first) + "-" +
                                            std::to_string(last) + " at " +
                                            std::to_string(rs.RecordCount()));
                         });
        QObject::connect(&rs, &Recordset::rowsAppended, &context_, [this, &rs] {
            log_.push_back("appended, " + std::to_string(rs.RecordCount()) + " rows");
        });
        QObject::connect(&rs, &Recordset::fetchFinished, &context_,
                         [this] { log_.push_back("finished"); });
    }
    Log take() { return std::exchange(log_, {}); }

private:
    QObject context_;
    Log log_;
};

using Log = SignalLog::Log;

const QStringList kNames{QStringLiteral("key"), QStringLiteral("value")};
const QList<int> kTypes{12, 12};

TEST(RecordsetStreamingTest, RowsArriveInSegmentsAndTheFirstBecomesCurrent) {
    Recordset rs;
    SignalLog events(rs);
    rs.OpenStreaming(kNames, kTypes);
    EXPECT_EQ(events.take(), (Log{"aboutToChange", "opened"}));
    EXPECT_EQ(rs.State(), Recordset::StateOpen);
    EXPECT_TRUE(rs.Fetching());
    EXPECT_EQ(rs.RecordCount(), 0);
    EXPECT_TRUE(rs.Bof() && rs.Eof());
    EXPECT_EQ(rs.FieldName(1), QStringLiteral("value"));
    EXPECT_EQ(rs.AbsolutePosition(), -1);
    EXPECT_THROW(rs.OpenStreaming(kNames, kTypes), Failure);

    rs.AppendRows(CellStore(2));  // nothing to add: no signal
    rs.AppendRows(Segment(0, 1));
    EXPECT_EQ(events.take(), (Log{"append 0-0 at 0", "appended, 1 rows", "row 0"}));
    EXPECT_EQ(rs.AbsolutePosition(), 0);
    EXPECT_EQ(rs.Value(0), QStringLiteral("r0"));
    EXPECT_TRUE(rs.IsNull(1));

    rs.MoveNext();  // past the last row so far: EOF, and it stays there as rows arrive
    EXPECT_TRUE(rs.Eof());
    events.take();
    rs.AppendRows(Segment(1, 4));
    EXPECT_EQ(events.take(), (Log{"append 1-4 at 1", "appended, 5 rows"}));
    EXPECT_TRUE(rs.Eof());
    rs.MoveLast();
    EXPECT_EQ(rs.AbsolutePosition(), 4);
    rs.AppendRows(Segment(5, 2));
    EXPECT_EQ(rs.AbsolutePosition(), 4);
    EXPECT_EQ(rs.CellText(6, 0).toString(), QStringLiteral("r6"));
    EXPECT_EQ(rs.CellText(5, 1).toString(), QStringLiteral("値5"));
    EXPECT_THROW(rs.AppendRows(CellStore(3)), Failure);
    events.take();

    rs.EndStreaming();
    EXPECT_EQ(events.take(), Log{"finished"});
    EXPECT_FALSE(rs.Fetching());
    EXPECT_EQ(rs.RecordCount(), 7);
    rs.AppendRows(Segment(7, 1));  // late rows of a finished fetch are dropped
    rs.EndStreaming();
    EXPECT_EQ(rs.RecordCount(), 7);
    EXPECT_TRUE(events.take().empty());
}

TEST(RecordsetStreamingTest, CloseDuringTheFetchDropsTheRowsAndLateOnes) {
    Recordset rs;
    rs.OpenStreaming(kNames, kTypes);
    rs.AppendRows(Segment(0, 3));
    SignalLog events(rs);
    rs.Close();
    EXPECT_EQ(events.take(), (Log{"aboutToChange", "closed", "row -1"}));
    EXPECT_EQ(rs.State(), Recordset::StateClosed);
    EXPECT_FALSE(rs.Fetching());
    rs.AppendRows(Segment(3, 2));
    rs.EndStreaming();
    EXPECT_TRUE(events.take().empty());
    EXPECT_EQ(rs.State(), Recordset::StateClosed);
    // Reopened, it holds the new result alone.
    rs.OpenStreaming(kNames, kTypes);
    rs.AppendRows(Segment(10, 1));
    EXPECT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.Value(0), QStringLiteral("r10"));
}

TEST(RecordsetStreamingTest, AStreamedResultWithoutRowsIsBofAndEof) {
    Recordset rs;
    rs.OpenStreaming(kNames, kTypes);
    rs.EndStreaming();
    EXPECT_TRUE(rs.Bof() && rs.Eof());
    try {
        rs.MoveFirst();
        ADD_FAILURE() << "moved to a row of an empty result";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.number, LayerFailureNumber::NoCurrentRecord);
    }
    rs.Close();
    // Names and types of different counts are refused and leave it closed.
    EXPECT_THROW(rs.OpenStreaming(QStringList{QStringLiteral("a")}, kTypes), Failure);
    EXPECT_EQ(rs.State(), Recordset::StateClosed);
}

}  // namespace
