#pragma once

#include <QStringView>

#include <vector>

#include "data/cellStore.h"

// The rows of a result as the segments they were fetched in, one after the other. A segment is
// kept as it came, so appending copies no text; a row is found by a binary search over the
// segments' first rows.
class ResultRows {
public:
    explicit ResultRows(int columns = 0) : columns_(columns) {}

    int columnCount() const { return columns_; }
    qsizetype rowCount() const { return rows_; }
    int segmentCount() const { return int(segments_.size()); }

    // Takes the rows of `segment`, which has the same column count; an empty one is dropped.
    void append(CellStore segment);

    QStringView text(qsizetype row, int column) const;
    bool isNull(qsizetype row, int column) const;

    // Characters of text held, over every segment.
    qsizetype textLength() const { return textLength_; }

private:
    // The segment that holds `row`, and the row's index in it.
    const CellStore &locate(qsizetype row, qsizetype &inSegment) const;

    int columns_ = 0;
    std::vector<CellStore> segments_;
    std::vector<qsizetype> starts_;  // first row of each segment
    qsizetype rows_ = 0;
    qsizetype textLength_ = 0;
};
