#include "data/widestCells.h"

#include <algorithm>

#include "data/cellStore.h"
#include "data/recordset.h"

namespace {

// East Asian wide and full-width characters (CJK ideographs, kana, Hangul, full-width forms);
// each half of a surrogate pair counts one, so a supplementary ideograph counts two.
bool IsWide(char16_t unit) {
    return (unit >= 0x1100 && unit <= 0x115F) || (unit >= 0x2E80 && unit <= 0x303E) ||
           (unit >= 0x3041 && unit <= 0x33FF) || (unit >= 0x3400 && unit <= 0x4DBF) ||
           (unit >= 0x4E00 && unit <= 0x9FFF) || (unit >= 0xA000 && unit <= 0xA4CF) ||
           (unit >= 0xAC00 && unit <= 0xD7A3) || (unit >= 0xF900 && unit <= 0xFAFF) ||
           (unit >= 0xFE30 && unit <= 0xFE4F) || (unit >= 0xFF00 && unit <= 0xFF60) ||
           (unit >= 0xFFE0 && unit <= 0xFFE6);
}

}  // namespace

void WidestCells::Reset(int columns) {
    widest_ = QList<Widest>(std::max(columns, 0));
    measuredRows_ = 0;
}

void WidestCells::consider(qsizetype row, int column, QStringView text) {
    Widest &widest = widest_[column];
    // No character counts more than two: a text this short cannot be wider.
    if (text.size() * 2 <= widest.units) {
        return;
    }
    const int units = DisplayUnits(text);
    if (units > widest.units) {
        widest = Widest{row, units};
    }
}

void WidestCells::Add(const Recordset &recordset) {
    if (recordset.State() != Recordset::StateOpen) {
        return;
    }
    const qsizetype rows = recordset.RecordCount();
    const int columns = std::min(Columns(), recordset.FieldCount());
    for (qsizetype row = measuredRows_; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            consider(row, column,
                     recordset.CellIsNull(row, column) ? kNullCellText
                                                       : recordset.CellText(row, column));
        }
    }
    measuredRows_ = std::max(measuredRows_, rows);
}

void WidestCells::Add(const CellStore &rows) {
    const qsizetype count = rows.rowCount();
    const int columns = std::min(Columns(), rows.columnCount());
    for (qsizetype row = 0; row < count; ++row) {
        for (int column = 0; column < columns; ++column) {
            consider(measuredRows_ + row, column,
                     rows.isNull(row, column) ? kNullCellText : rows.text(row, column));
        }
    }
    measuredRows_ += count;
}

void WidestCells::Merge(const WidestCells &later) {
    const int columns = std::min(Columns(), later.Columns());
    for (int column = 0; column < columns; ++column) {
        const Widest &found = later.widest_[column];
        if (found.row >= 0 && found.units > widest_[column].units) {
            widest_[column] = Widest{measuredRows_ + found.row, found.units};
        }
    }
    measuredRows_ += later.measuredRows_;
}

qsizetype WidestCells::Row(int column) const {
    return column >= 0 && column < Columns() ? widest_[column].row : -1;
}

int WidestCells::DisplayUnits(QStringView text) {
    int widest = 0;
    int line = 0;
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit >= 0x1100) {
            line += IsWide(unit) ? 2 : 1;
        } else if (unit == u'\n' || unit == u'\r') {
            widest = std::max(widest, line);
            line = 0;
        } else {
            ++line;
        }
    }
    return std::max(widest, line);
}
