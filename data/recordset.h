#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <map>
#include <memory>

class CellStore;
class Command;
class Connection;
struct FetchedResult;

// The rows of one statement's first result, held in memory (client cursor), with a current
// row that moves like a classic recordset: before the first row is BOF, after the last is EOF,
// and an empty result is both. Holds no ODBC handle once open, so it outlives the connection
// it came from. One per query window, reopened for every batch.
//
// The rows may also arrive while the statement runs elsewhere (a worker thread fetches them and
// the owner's thread appends them): OpenStreaming, AppendRows, EndStreaming. While fetching,
// the recordset shows and moves over the rows it holds so far.
class Recordset : public QObject {
    Q_OBJECT

public:
    static constexpr int StateClosed = 0;
    static constexpr int StateOpen = 1;

    // Classic cursor settings, kept as set. Rows are always fetched whole into memory.
    static constexpr int UseServer = 2;
    static constexpr int UseClient = 3;

    explicit Recordset(QObject *parent = nullptr);
    ~Recordset() override;

    int CursorLocation() const { return cursorLocation_; }
    void setCursorLocation(int location);
    int CursorType() const { return cursorType_; }
    void setCursorType(int type);
    int LockType() const { return lockType_; }
    void setLockType(int type);

    // Runs the command (its text on its active connection, with its time-out) and holds its
    // first result set; a statement without one leaves the recordset closed. Fails with 3705
    // when open, 3709 when the command has no open connection, else with the driver's text.
    void Open(Command &command);
    // Runs a query text on a connection, with the default time-out of 30 seconds.
    void Open(const QString &sql, Connection &connection);
    // Drops the rows; fails with 3704 when closed and with 3219 while an edit is pending.
    void Close();
    int State() const { return result_ ? StateOpen : StateClosed; }

    // Opens a closed recordset on a result whose rows are still to come (3705 when open).
    void OpenStreaming(const QStringList &names, const QList<int> &types);
    // The next rows of the result, with the same columns (5 otherwise). The first rows become
    // the current row. Rows that arrive when the recordset is not fetching (it was closed
    // during the fetch) are dropped.
    void AppendRows(CellStore rows);
    // Every row has arrived; nothing when the recordset is not fetching.
    void EndStreaming();
    bool Fetching() const { return fetching_; }

    // Hands the rows over to a new owner (another thread may read them from then on) and
    // closes the recordset; nothing when it is closed. Fails with 3219 while an edit is pending.
    std::unique_ptr<FetchedResult> TakeResult();

    // A pending edit of the current row's value, never written to the database. While one is
    // pending the recordset refuses to close; CancelUpdate drops it (and does nothing without).
    void setValue(int field, const QString &text);
    bool EditPending() const { return !edits_.empty(); }
    void CancelUpdate();

    bool Bof() const;
    bool Eof() const;
    // Each fails with 3021 (or 3704 when closed) when it cannot move.
    void MoveFirst();
    void MovePrevious();
    void MoveNext();
    void MoveLast();

    // Fields of the result; the values are those of the current row (3021 at BOF/EOF).
    int FieldCount() const;
    QString FieldName(int field) const;
    int FieldType(int field) const;  // ODBC SQL data type
    bool IsNull(int field) const;
    QString Value(int field) const;

    // Random access for the grid.
    qsizetype RecordCount() const;
    qsizetype AbsolutePosition() const;  // 0-based current row; -1 at BOF/EOF or closed
    void setAbsolutePosition(qsizetype row);
    QStringView CellText(qsizetype row, int field) const;
    bool CellIsNull(qsizetype row, int field) const;

signals:
    // Before the rows are replaced or dropped, and after.
    void aboutToChange();
    void opened();
    void closed();
    void currentRowChanged(qsizetype row);
    // Around the rows [first, last] that AppendRows adds at the end.
    void rowsAboutToBeAppended(qsizetype first, qsizetype last);
    void rowsAppended();
    // EndStreaming: the result is whole.
    void fetchFinished();

private:
    void OpenOn(Connection &connection, const QString &text, int timeoutSeconds);
    void requireOpen() const;
    void requireField(int field) const;
    void requireCurrentRow() const;
    void moveTo(qsizetype position);

    int cursorLocation_ = 2;
    int cursorType_ = 0;
    int lockType_ = 1;
    std::unique_ptr<FetchedResult> result_;
    qsizetype position_ = -1;  // -1 BOF, RecordCount() EOF
    bool fetching_ = false;
    std::map<int, QString> edits_;
};
