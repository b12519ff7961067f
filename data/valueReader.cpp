#include "data/valueReader.h"

#include <QByteArray>
#include <QString>

#include <sqlext.h>

#include <cstring>

#include "data/cellStore.h"
#include "data/odbcHandle.h"
#include "data/statementCancel.h"

namespace {

// Wide characters read per SQLGetData call while a value's length is not known.
constexpr qsizetype kPieceChars = 4096;
// Bytes read per SQLGetData call of a binary or UTF-8 value.
constexpr qsizetype kPieceBytes = 65536;

}  // namespace

ValueReader::ValueReader(OdbcHandle &statement, StatementCancel &cancel)
    : statement_(statement), cancel_(cancel), piece_(kPieceChars), bytes_(kPieceBytes) {}

SQLRETURN ValueReader::GetData(SQLUSMALLINT column, SQLSMALLINT type, SQLPOINTER buffer,
                               SQLLEN size, SQLLEN &indicator) {
    const SQLRETURN rc = cancel_.Run(StatementCancel::Call::Quick, [&] {
        return SQLGetData(statement_.get(), column, type, buffer, size, &indicator);
    });
    check(rc, statement_, "SQLGetData");
    return rc;
}

// Reads one value of the current row into the store: in pieces while its length is unknown,
// and the rest in one read once the driver has told the whole length.
void ValueReader::ReadWide(SQLUSMALLINT column, CellStore &cells) {
    std::vector<SQLWCHAR> *buffer = &piece_;
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = GetData(column, SQL_C_WCHAR, buffer->data(),
                                     SQLLEN(buffer->size() * sizeof(SQLWCHAR)), indicator);
        if (rc == SQL_NO_DATA) {
            break;
        }
        if (indicator == SQL_NULL_DATA) {
            cells.appendNull();
            return;
        }
        const qsizetype room = qsizetype(buffer->size()) - 1;
        const bool known = indicator != SQL_NO_TOTAL;
        const qsizetype total = known ? qsizetype(indicator / SQLLEN(sizeof(SQLWCHAR))) : 0;
        const bool truncated = !known || total > room;
        const qsizetype chars = truncated ? room : total;
        cells.appendPiece(reinterpret_cast<const char16_t *>(buffer->data()), chars);
        if (!truncated) {
            break;
        }
        if (known) {
            const qsizetype rest = total - chars;
            cells.reserve(rest);
            whole_.resize(size_t(rest) + 1);
            buffer = &whole_;
        }
    }
    cells.endCell();
    if (whole_.size() > size_t(kPieceChars)) {
        std::vector<SQLWCHAR>().swap(whole_);  // a long value's buffer is not kept
    }
}

// Reads one value of the current row as UTF-8 bytes, gathered whole before they are decoded so
// that a character the driver cut at the end of a piece is decoded whole.
void ValueReader::ReadUtf8(SQLUSMALLINT column, CellStore &cells) {
    utf8Whole_.clear();
    size_t gathered = 0;  // bytes of the value in utf8Whole_
    char *buffer = bytes_.data();
    qsizetype room = qsizetype(bytes_.size()) - 1;
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = GetData(column, SQL_C_CHAR, buffer, SQLLEN(room + 1), indicator);
        if (rc == SQL_NO_DATA) {
            break;
        }
        if (indicator == SQL_NULL_DATA) {
            cells.appendNull();
            return;
        }
        const bool known = indicator != SQL_NO_TOTAL;
        const bool truncated = !known || qsizetype(indicator) > room;
        const qsizetype size = truncated ? room : qsizetype(indicator);
        if (buffer == bytes_.data()) {
            if (!truncated && gathered == 0) {
                cells.appendUtf8(buffer, size);  // the whole value in one piece
                break;
            }
            utf8Whole_.resize(gathered + size_t(size));
            std::memcpy(utf8Whole_.data() + gathered, buffer, size_t(size));
        }
        gathered += size_t(size);
        if (!truncated) {
            break;
        }
        if (known) {
            // The rest, its length now told, in one read straight after what is gathered.
            room = qsizetype(indicator) - size;
            utf8Whole_.resize(gathered + size_t(room) + 1);
            buffer = utf8Whole_.data() + gathered;
        } else {
            buffer = bytes_.data();
            room = qsizetype(bytes_.size()) - 1;
        }
    }
    utf8Whole_.resize(gathered);
    cells.appendUtf8(utf8Whole_.data(), qsizetype(utf8Whole_.size()));
    cells.endCell();
    if (utf8Whole_.capacity() > size_t(kPieceBytes)) {
        std::string().swap(utf8Whole_);  // a long value's buffer is not kept
    }
}

// Reads one binary value as bytes and stores them as two lowercase hex digits a byte, the text
// that ODBC defines for binary data. Asked for text, the drivers do not agree: the SQLite3
// driver writes a SQL literal (X'00FF10'), and MariaDB's decodes the bytes as UTF-8, which
// loses them or fails the fetch. So every driver's bytes are read as bytes.
void ValueReader::ReadBytes(SQLUSMALLINT column, CellStore &cells) {
    for (bool first = true;; first = false) {
        SQLLEN indicator = 0;
        const SQLRETURN rc =
            GetData(column, SQL_C_BINARY, bytes_.data(), SQLLEN(bytes_.size()), indicator);
        if (rc == SQL_NO_DATA) {
            break;
        }
        if (indicator == SQL_NULL_DATA) {
            cells.appendNull();
            return;
        }
        const bool known = indicator != SQL_NO_TOTAL;
        const bool whole = known && indicator <= SQLLEN(bytes_.size());
        if (first && known) {
            cells.reserve(2 * qsizetype(indicator));
        }
        const qsizetype size = whole ? qsizetype(indicator) : qsizetype(bytes_.size());
        const QString hex =
            QString::fromLatin1(QByteArray::fromRawData(bytes_.data(), size).toHex());
        cells.appendPiece(reinterpret_cast<const char16_t *>(hex.utf16()), hex.size());
        if (whole) {
            break;
        }
    }
    cells.endCell();
}
