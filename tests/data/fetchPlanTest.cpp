#include <gtest/gtest.h>

#include <sqlext.h>

#include "data/fetchPlan.h"

namespace {

constexpr SQLUINTEGER kEverything =
    SQL_GD_ANY_COLUMN | SQL_GD_ANY_ORDER | SQL_GD_BLOCK | SQL_GD_BOUND;
constexpr SQLUINTEGER kNoBlock = SQL_GD_ANY_COLUMN | SQL_GD_ANY_ORDER | SQL_GD_BOUND;

TEST(FetchPlanTest, BindsWhatTheDriverCanReadAgain) {
    struct Case {
        const char *name;
        QList<int> types;
        std::vector<SQLULEN> sizes;
        SQLUINTEGER extensions;
        bool block;  // more than one row a fetch
        std::vector<SQLLEN> width;
    };
    const Case cases[] = {
        {"bounded columns come in blocks",
         {SQL_INTEGER, SQL_VARCHAR, SQL_WVARCHAR, SQL_TYPE_TIMESTAMP, SQL_DECIMAL},
         {10, 40, 20, 26, 60},
         kEverything,
         true,
         {65, 41, 21, 65, 77}},
        {"a long column: one row a fetch, bound with a piece-sized buffer",
         {SQL_INTEGER, SQL_WLONGVARCHAR, SQL_VARCHAR},
         {10, 65536, 10},
         kEverything,
         false,
         {65, kLongColumnWidth, 11}},
        {"a column of unknown size is long",
         {SQL_VARCHAR, SQL_VARCHAR},
         {0, 4000},
         kEverything,
         false,
         {kLongColumnWidth, 4001}},
        {"just above the bounded limit is long",
         {SQL_WVARCHAR},
         {4001},
         kEverything,
         false,
         {kLongColumnWidth}},
        {"no reading inside a block: one row a fetch",
         {SQL_INTEGER, SQL_VARCHAR},
         {10, 40},
         kNoBlock,
         false,
         {65, 41}},
        {"binary is never bound, the columns around it are",
         {SQL_INTEGER, SQL_VARBINARY, SQL_VARCHAR},
         {10, 100, 10},
         kEverything,
         false,
         {65, 0, 11}},
        {"without any-column reads nothing after an unbound column is bound",
         {SQL_INTEGER, SQL_LONGVARBINARY, SQL_VARCHAR},
         {10, 0, 10},
         SQL_GD_BOUND | SQL_GD_BLOCK,
         false,
         {65, 0, 0}},
        {"without reads of bound columns nothing is bound",
         {SQL_INTEGER, SQL_VARCHAR},
         {10, 40},
         SQL_GD_ANY_COLUMN | SQL_GD_BLOCK,
         false,
         {0, 0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const FetchPlan plan = PlanFetch(c.types, c.sizes, c.extensions);
        EXPECT_EQ(plan.rows > 1, c.block);
        EXPECT_EQ(plan.width, c.width);
        EXPECT_EQ(plan.bindsAny(),
                  std::any_of(c.width.begin(), c.width.end(), [](SQLLEN w) { return w > 0; }));
    }
}

TEST(FetchPlanTest, BlocksStayWithinTheirBudget) {
    struct Case {
        int columns;
        SQLULEN size;
        SQLULEN rows;
    };
    const Case cases[] = {
        {1, 10, kBlockRows},  // small rows: the most rows a block
        {8, 4000, 130},       // wide rows: as many as fit in the budget
        {2000, 4000, 1},      // wider than the budget: still one row
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.columns);
        const QList<int> types(c.columns, SQL_WVARCHAR);
        const std::vector<SQLULEN> sizes(size_t(c.columns), c.size);
        const FetchPlan plan = PlanFetch(types, sizes, kEverything);
        EXPECT_EQ(plan.rows, c.rows);
        SQLULEN bytes = 0;
        for (const SQLLEN width : plan.width) {
            bytes += SQLULEN(width) * sizeof(SQLWCHAR) + sizeof(SQLLEN);
        }
        EXPECT_TRUE(plan.rows == 1 || bytes * plan.rows <= kBlockBytes);
    }
}

}  // namespace
