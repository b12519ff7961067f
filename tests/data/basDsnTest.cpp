#include <gtest/gtest.h>

#include "data/basDsn.h"

namespace {

TEST(DataSourceOrder, AsAUserReadsTheList) {
    const struct {
        const char *name;
        QStringList listed;
        QStringList sorted;
    } cases[] = {
        {"letter case ignored",
         {"Missing_DB", "PG_QA", "QA_Shop", "alpha_Shop"},
         {"alpha_Shop", "Missing_DB", "PG_QA", "QA_Shop"}},
        {"numbers by value", {"db10", "DB2", "db1"}, {"db1", "DB2", "db10"}},
        {"kana by reading, whichever script",
         {"さくら", "アイ", "かき"},
         {"アイ", "かき", "さくら"}},
        {"names alike but for case in one order",
         {"sales", "SALES", "Sales"},
         {"SALES", "Sales", "sales"}},
        {"nothing listed", {}, {}},
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(SortDataSourceNames(row.listed), row.sorted)
            << SortDataSourceNames(row.listed).join(QLatin1Char(',')).toStdString();
    }
}

}  // namespace
