#pragma once

#include <QStringView>

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

// The cells of a fetched result, row after row, in one UTF-16 text arena, with one 64-bit start
// per row and one 32-bit start per cell, counted from its row's. The arena grows in chunks and
// is never moved, so appending a million rows costs about the text itself plus 4 bytes a cell
// and 8 a row, with no copy of the text already stored. The starts are plain arrays, read
// with one load; a streamed result is held as many stores of a fraction of a second's rows
// each (ResultRows), so their growth by doubling stays small next to the text.
class CellStore {
public:
    explicit CellStore(int columns = 0) : columns_(columns) {}
    // Moved, never copied: a result's text is held once.
    CellStore(CellStore &&) = default;
    CellStore &operator=(CellStore &&) = default;
    CellStore(const CellStore &) = delete;
    CellStore &operator=(const CellStore &) = delete;

    int columnCount() const { return columns_; }
    qsizetype rowCount() const { return columns_ > 0 ? qsizetype(offsets_.size()) / columns_ : 0; }

    // A cell is built from one or more pieces (long values arrive in parts) and then ended.
    void appendPiece(const char16_t *text, qsizetype length);
    // Decodes `size` bytes of UTF-8 straight into the arena as a piece of the cell being built.
    // The bytes must hold whole characters: a character cut in two becomes U+FFFD.
    void appendUtf8(const char *bytes, qsizetype size);
    void endCell();
    void appendNull();
    // Makes room for `length` more characters of the cell being built, so that they are stored
    // without moving what the cell already holds.
    void reserve(qsizetype length);

    QStringView text(qsizetype row, int column) const;
    bool isNull(qsizetype row, int column) const;

    // Characters of text held (the UTF-16 size of the result is twice this in bytes).
    qsizetype textLength() const { return qsizetype(end_); }
    // Characters the arena has room for, used or not.
    qsizetype textCapacity() const;

    // Gives back the room the arena holds beyond its text, once no more rows are to come (a
    // segment of a streamed result is sealed): the last chunk shrinks to its use. Appending
    // afterwards still works, in a new chunk.
    void squeeze();

private:
    struct Chunk {
        std::unique_ptr<char16_t[]> text;
        qsizetype capacity = 0;
        qsizetype used = 0;
        std::uint64_t base = 0;  // position of text[0] among all characters
    };
    static constexpr std::uint32_t kNullBit = std::uint32_t(1) << 31;
    // A cell that starts this far or farther into its row keeps its start in far_.
    static constexpr std::uint32_t kFar = kNullBit - 1;
    static constexpr qsizetype kChunkSize = qsizetype(1) << 20;

    void pushCell(bool null);
    // The start of a cell, given its row and its index among all cells.
    std::uint64_t startOf(qsizetype row, size_t index) const;
    QStringView at(std::uint64_t start, std::uint64_t end) const;

    int columns_ = 0;
    int column_ = 0;  // the column of the next cell appended
    std::vector<Chunk> chunks_;
    std::vector<std::uint64_t> rowStarts_;  // start of each row's first cell
    std::vector<std::uint32_t> offsets_;    // each cell's start from its row's, kNullBit for NULL
    std::unordered_map<size_t, std::uint64_t> far_;  // starts of kFar or more, by cell
    std::uint64_t end_ = 0;                          // end of the last ended cell
    std::uint64_t cellStart_ = 0;                    // start of the cell being built
    qsizetype pending_ = 0;                          // characters of the cell being built
};
