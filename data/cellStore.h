#pragma once

#include <QStringView>

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

// The cells of a fetched result, row after row, in one UTF-16 text arena with one 64-bit start
// per cell. The arena grows in chunks and is never moved, so appending a million rows costs
// about the text itself plus 8 bytes a cell, with no copy of what is already stored.
class CellStore {
public:
    explicit CellStore(int columns = 0) : columns_(columns) {}

    int columnCount() const { return columns_; }
    qsizetype rowCount() const { return columns_ > 0 ? qsizetype(starts_.size()) / columns_ : 0; }

    // A cell is built from one or more pieces (long values arrive in parts) and then ended.
    void appendPiece(const char16_t *text, qsizetype length);
    void endCell();
    void appendNull();
    // Makes room for `length` more characters of the cell being built, so that they are stored
    // without moving what the cell already holds.
    void reserve(qsizetype length);

    QStringView text(qsizetype row, int column) const;
    bool isNull(qsizetype row, int column) const;

    // Characters of text held (the UTF-16 size of the result is twice this in bytes).
    qsizetype textLength() const { return qsizetype(end_); }

private:
    struct Chunk {
        std::unique_ptr<char16_t[]> text;
        qsizetype capacity = 0;
        qsizetype used = 0;
        std::uint64_t base = 0;  // position of text[0] among all characters
    };
    static constexpr std::uint64_t kNullBit = std::uint64_t(1) << 63;
    static constexpr qsizetype kChunkSize = qsizetype(1) << 20;

    QStringView at(std::uint64_t start, std::uint64_t end) const;

    int columns_ = 0;
    std::vector<Chunk> chunks_;
    std::deque<std::uint64_t> starts_;  // start of each cell, kNullBit set for NULL
    std::uint64_t end_ = 0;             // end of the last ended cell
    std::uint64_t cellStart_ = 0;       // start of the cell being built
    qsizetype pending_ = 0;             // characters of the cell being built
};
