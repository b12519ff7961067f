#include "data/cellStore.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>

void CellStore::reserve(qsizetype length) {
    if (!chunks_.empty()) {
        Chunk &last = chunks_.back();
        if (last.capacity - last.used >= length) {
            return;
        }
    }
    // A cell never spans two chunks: the part of it already stored moves to the new chunk. A
    // cell that outgrows its chunk gets one at least twice its size, so that a long value read
    // in many pieces is moved a few times in all, not once per piece.
    const qsizetype needed = pending_ + length;
    Chunk chunk;
    chunk.capacity = std::max({kChunkSize, needed, 2 * pending_});
    chunk.text = std::make_unique_for_overwrite<char16_t[]>(size_t(chunk.capacity));
    chunk.base = cellStart_;
    if (pending_ > 0) {
        Chunk &last = chunks_.back();
        std::memcpy(chunk.text.get(), last.text.get() + (last.used - pending_),
                    size_t(pending_) * sizeof(char16_t));
        last.used -= pending_;
        chunk.used = pending_;
        if (last.used == 0) {
            chunks_.pop_back();
        }
    }
    chunks_.push_back(std::move(chunk));
}

void CellStore::appendPiece(const char16_t *text, qsizetype length) {
    if (length <= 0) {
        return;
    }
    reserve(length);
    Chunk &last = chunks_.back();
    std::memcpy(last.text.get() + last.used, text, size_t(length) * sizeof(char16_t));
    last.used += length;
    pending_ += length;
}

void CellStore::appendUtf8(const char *bytes, qsizetype size) {
    if (size <= 0) {
        return;
    }
    // UTF-8 never takes fewer bytes than UTF-16 takes characters, so `size` is room enough.
    reserve(size);
    Chunk &last = chunks_.back();
    char16_t *start = last.text.get() + last.used;
    // Most values are short and ASCII: widened in one pass that also notes whether every byte
    // was ASCII, they skip the decoder, whose set-up costs more than decoding a short value.
    // Anything else is decoded over what the pass wrote.
    unsigned char seen = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        seen |= byte;
        start[i] = char16_t(byte);
    }
    qsizetype length = size;
    if (seen >= 0x80) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QChar *out = reinterpret_cast<QChar *>(start);
        length = decoder.appendToBuffer(out, QByteArrayView(bytes, size)) - out;
    }
    last.used += length;
    pending_ += length;
}

void CellStore::pushCell(bool null) {
    const size_t index = offsets_.size();
    if (column_ == 0) {
        rowStarts_.push_back(cellStart_);
    }
    column_ = column_ + 1 >= columns_ ? 0 : column_ + 1;
    const std::uint64_t offset = cellStart_ - rowStarts_.back();
    std::uint32_t entry = std::uint32_t(offset);
    if (offset >= kFar) {
        far_.emplace(index, offset);
        entry = kFar;
    }
    offsets_.push_back(null ? entry | kNullBit : entry);
}

std::uint64_t CellStore::startOf(qsizetype row, size_t index) const {
    const std::uint32_t entry = offsets_[index] & ~kNullBit;
    const std::uint64_t offset = entry == kFar ? far_.at(index) : entry;
    return rowStarts_[size_t(row)] + offset;
}

void CellStore::endCell() {
    pushCell(false);
    cellStart_ += std::uint64_t(pending_);
    end_ = cellStart_;
    pending_ = 0;
}

void CellStore::appendNull() {
    pushCell(true);
}

QStringView CellStore::at(std::uint64_t start, std::uint64_t end) const {
    if (end == start) {
        return QStringView(u"", 0);
    }
    // The last chunk whose base is at or before the start holds the whole cell.
    auto chunk =
        std::upper_bound(chunks_.begin(), chunks_.end(), start,
                         [](std::uint64_t position, const Chunk &c) { return position < c.base; });
    --chunk;
    return QStringView(chunk->text.get() + (start - chunk->base), qsizetype(end - start));
}

QStringView CellStore::text(qsizetype row, int column) const {
    const size_t index = size_t(row) * size_t(columns_) + size_t(column);
    // A cell ends where the next one starts: the next cell of its row, or the next row's first.
    std::uint64_t end = end_;
    if (column + 1 < columns_) {
        end = startOf(row, index + 1);
    } else if (size_t(row) + 1 < rowStarts_.size()) {
        end = startOf(row + 1, index + 1);
    }
    return at(startOf(row, index), end);
}

bool CellStore::isNull(qsizetype row, int column) const {
    return (offsets_[size_t(row) * size_t(columns_) + size_t(column)] & kNullBit) != 0;
}

qsizetype CellStore::textCapacity() const {
    qsizetype capacity = 0;
    for (const Chunk &chunk : chunks_) {
        capacity += chunk.capacity;
    }
    return capacity;
}

void CellStore::squeeze() {
    if (!chunks_.empty()) {
        Chunk &last = chunks_.back();
        if (last.used == 0) {
            chunks_.pop_back();
        } else if (last.used < last.capacity) {
            auto text = std::make_unique_for_overwrite<char16_t[]>(size_t(last.used));
            std::memcpy(text.get(), last.text.get(), size_t(last.used) * sizeof(char16_t));
            last.text = std::move(text);
            last.capacity = last.used;
        }
    }
    chunks_.shrink_to_fit();
    rowStarts_.shrink_to_fit();
    offsets_.shrink_to_fit();
}
