#include "data/fetchPlan.h"

#include <sqlext.h>

#include <algorithm>

namespace {

bool IsCharacterType(int type) {
    switch (type) {
        case SQL_CHAR:
        case SQL_VARCHAR:
        case SQL_LONGVARCHAR:
        case SQL_WCHAR:
        case SQL_WVARCHAR:
        case SQL_WLONGVARCHAR:
            return true;
        default:
            return false;
    }
}

bool IsBounded(SQLULEN size) {
    return size > 0 && size <= kLongestBoundedColumn;
}

// Characters of the buffer of a bounded column. A character column holds at most its size; the
// size of any other kind is its precision or digits, whose text adds a sign, a point, an
// exponent or a time zone, so those buffers get room to spare.
SQLLEN BoundedWidth(int type, SQLULEN size) {
    const SQLULEN characters = IsCharacterType(type) ? size : std::max<SQLULEN>(size + 16, 64);
    return SQLLEN(characters) + 1;
}

}  // namespace

bool IsBinaryType(int type) {
    return type == SQL_BINARY || type == SQL_VARBINARY || type == SQL_LONGVARBINARY;
}

bool FetchPlan::bindsAny() const {
    return std::any_of(width.begin(), width.end(), [](SQLLEN w) { return w > 0; });
}

FetchPlan PlanFetch(const QList<int> &types, const std::vector<SQLULEN> &sizes,
                    SQLUINTEGER getDataExtensions) {
    const size_t columns = sizes.size();
    FetchPlan plan;
    plan.width.assign(columns, 0);
    if ((getDataExtensions & SQL_GD_BOUND) == 0) {
        return plan;
    }
    bool allBounded = true;
    for (size_t column = 0; column < columns; ++column) {
        allBounded =
            allBounded && !IsBinaryType(types.at(qsizetype(column))) && IsBounded(sizes[column]);
    }
    if (allBounded && (getDataExtensions & SQL_GD_BLOCK) != 0) {
        SQLULEN rowBytes = 0;
        for (size_t column = 0; column < columns; ++column) {
            plan.width[column] = BoundedWidth(types.at(qsizetype(column)), sizes[column]);
            rowBytes += SQLULEN(plan.width[column]) * sizeof(SQLWCHAR) + sizeof(SQLLEN);
        }
        plan.rows =
            std::clamp<SQLULEN>(kBlockBytes / std::max<SQLULEN>(rowBytes, 1), 1, kBlockRows);
        return plan;
    }
    const bool anyColumn = (getDataExtensions & SQL_GD_ANY_COLUMN) != 0;
    for (size_t column = 0; column < columns; ++column) {
        const int type = types.at(qsizetype(column));
        if (IsBinaryType(type)) {
            if (!anyColumn) {
                break;  // SQLGetData may only read the columns after the last bound one
            }
            continue;
        }
        plan.width[column] =
            IsBounded(sizes[column]) ? BoundedWidth(type, sizes[column]) : kLongColumnWidth;
    }
    return plan;
}

FetchPlan PlanUtf8Fetch(const QList<int> &types, const std::vector<SQLULEN> &sizes,
                        SQLUINTEGER getDataExtensions) {
    FetchPlan plan = PlanFetch(types, sizes, getDataExtensions);
    plan.utf8 = true;
    for (size_t column = 0; column < plan.width.size(); ++column) {
        if (plan.width[column] > 0 && IsCharacterType(types.at(qsizetype(column))) &&
            IsBounded(sizes[column])) {
            plan.width[column] = (plan.width[column] - 1) * 3 + 1;
        }
    }
    return plan;
}
