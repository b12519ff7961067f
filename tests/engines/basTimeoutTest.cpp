#include <gtest/gtest.h>

#include "engines/basTimeout.h"

namespace {

TEST(TimeoutText, NormalizesEveryChange) {
    struct Row {
        const char *name;
        QString text;
        const char *expected;
    };
    const Row rows[] = {
        {"plain number", "30", "30"},
        {"empty becomes zero", "", "0"},
        {"zero stays", "0", "0"},
        {"zero typed after zero", "00", "0"},
        {"digit typed after zero", "05", "5"},
        {"many leading zeros", "000120", "120"},
        {"eight digits", "99999999", "99999999"},
        {"ninth digit dropped", "123456789", "12345678"},
        {"pasted letters stripped", "1a2b", "12"},
        {"pasted signs and spaces", " -3.5 s", "35"},
        {"full-width digits are not digits", QStringLiteral("１２"), "0"},
        {"zeros stripped before the limit", "0000000001234", "1234"},
        {"only letters", "abc", "0"},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(NormalizeTimeoutText(row.text), QString::fromUtf8(row.expected)) << row.name;
    }
}

TEST(TimeoutText, AcceptsOnlyAsciiDigitsAndBackspace) {
    for (const QChar c : QStringLiteral("0123456789\b")) {
        EXPECT_TRUE(IsTimeoutCharacter(c)) << int(c.unicode());
    }
    for (const QChar c : QStringLiteral("a-.+ \t\r\x1b/:０９")) {
        EXPECT_FALSE(IsTimeoutCharacter(c)) << int(c.unicode());
    }
}

TEST(TimeoutText, LargestValueFitsInAnInt) {
    EXPECT_EQ(TimeoutTextToSeconds("99999999"), 99999999);
    EXPECT_EQ(TimeoutTextToSeconds("0"), 0);
}

}  // namespace
