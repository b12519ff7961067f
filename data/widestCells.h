#pragma once

#include <QList>
#include <QStringView>

class CellStore;
class Recordset;

// What the grid shows for a NULL value, so that it stands apart from an empty text.
inline constexpr QStringView kNullCellText = u"NULL";

// Finds, per column of a result, the row whose text needs the most room on screen, so that the
// grid measures one cell per column with its font instead of every cell. The room is estimated
// cheaply: characters counted on the longest line of a value, East Asian wide characters twice.
// A NULL value is measured as kNullCellText, the way the grid shows it. Rows are read once: as more
// rows of a result arrive, Add reads only the new ones.
class WidestCells {
public:
    // Starts over for a result of `columns` columns, no row read.
    void Reset(int columns);

    // Reads the rows of `recordset` from MeasuredRows() to its last row.
    void Add(const Recordset &recordset);
    // Reads the rows of a store as the rows that follow those read so far. A thread that
    // fetches rows can measure them before it hands them over.
    void Add(const CellStore &rows);
    // Takes what `later` found as the widest of the rows that follow those read here (its rows
    // counted from MeasuredRows()), without reading them again.
    void Merge(const WidestCells &later);

    int Columns() const { return int(widest_.size()); }
    // How many rows have been read.
    qsizetype MeasuredRows() const { return measuredRows_; }
    // The first row holding the widest text of `column`; -1 when no row has text there.
    qsizetype Row(int column) const;

    // The estimated width of `text` in character cells: its longest line, wide characters
    // counting two.
    static int DisplayUnits(QStringView text);

private:
    void consider(qsizetype row, int column, QStringView text);

    struct Widest {
        qsizetype row = -1;
        int units = 0;
    };
    QList<Widest> widest_;
    qsizetype measuredRows_ = 0;
};
