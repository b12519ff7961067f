#include "data/resultRows.h"

#include <algorithm>
#include <stdexcept>

void ResultRows::append(CellStore segment) {
    if (segment.columnCount() != columns_) {
        throw std::invalid_argument("ResultRows::append: column count differs");
    }
    const qsizetype rows = segment.rowCount();
    if (rows == 0) {
        return;
    }
    starts_.push_back(rows_);
    textLength_ += segment.textLength();
    segments_.push_back(std::move(segment));
    rows_ += rows;
}

const CellStore &ResultRows::locate(qsizetype row, qsizetype &inSegment) const {
    // Most results come in one segment; the search is for the streamed ones.
    size_t index = 0;
    if (segments_.size() > 1) {
        index = size_t(std::upper_bound(starts_.begin(), starts_.end(), row) - starts_.begin()) - 1;
    }
    inSegment = row - starts_[index];
    return segments_[index];
}

QStringView ResultRows::text(qsizetype row, int column) const {
    qsizetype inSegment = 0;
    return locate(row, inSegment).text(inSegment, column);
}

bool ResultRows::isNull(qsizetype row, int column) const {
    qsizetype inSegment = 0;
    return locate(row, inSegment).isNull(inSegment, column);
}
