#pragma once

#include <QList>

#include <sql.h>

#include <vector>

// How the rows of a result are read: how many rows one SQLFetch brings, and for each column
// whether it is bound to a wide-text buffer (and how many characters that buffer holds, its
// terminating NUL included) or read per row with SQLGetData.
struct FetchPlan {
    SQLULEN rows = 1;           // the row array size
    std::vector<SQLLEN> width;  // per column: characters of its buffer; 0 when not bound
    // Values are read as UTF-8 bytes (SQL_C_CHAR) rather than wide text, and `width` counts
    // bytes.
    bool utf8 = false;

    bool bindsAny() const;
};

// Columns of at most this many characters are bounded; longer ones, and those whose size the
// driver does not know (0), are long.
inline constexpr SQLULEN kLongestBoundedColumn = 4000;
// The most rows one fetch brings, and the most bytes the buffers of a block take in all.
inline constexpr SQLULEN kBlockRows = 512;
inline constexpr SQLULEN kBlockBytes = SQLULEN(8) << 20;
// Characters of the buffer of a long column when rows come one at a time. Short values fit, and
// a longer one is read again whole with SQLGetData; larger buffers measured slower (the SQLite3
// driver's fetch costs more the larger the bound buffers are).
inline constexpr SQLLEN kLongColumnWidth = 256;

// Plans the fetch of a result from each column's SQL type and described size and from the
// driver's SQL_GETDATA_EXTENSIONS.
// - Binary columns are never bound: their bytes are read with SQLGetData and shown as hex.
// - Rows come in blocks only when every column is bounded and the driver can read a value of a
//   row inside a block (SQL_GD_BLOCK), so that a value longer than its column's described size
//   can be read again after SQLSetPos.
// - Otherwise rows come one at a time with the columns bound, long ones included, and a value
//   that does not fit its buffer is read again with SQLGetData (SQL_GD_BOUND). Without
//   SQL_GD_ANY_COLUMN only the columns before the first unbound one are bound.
// - Without SQL_GD_BOUND nothing is bound.
FetchPlan PlanFetch(const QList<int> &types, const std::vector<SQLULEN> &sizes,
                    SQLUINTEGER getDataExtensions);

// The same plan with values read as UTF-8 bytes: a bounded character column's buffer holds its
// size in characters of up to three bytes each (a character outside the BMP takes four bytes
// and two UTF-16 characters of the size); other buffers keep their number, now of bytes.
FetchPlan PlanUtf8Fetch(const QList<int> &types, const std::vector<SQLULEN> &sizes,
                        SQLUINTEGER getDataExtensions);

bool IsBinaryType(int type);
