#include <gtest/gtest.h>

#include <climits>

#include "core/settings.h"
#include "tests/support/testEnvironment.h"

namespace {

class SettingsStoreTest : public testing::Test {
protected:
    void SetUp() override { ClearSettings(); }
};

TEST_F(SettingsStoreTest, MissingSettingsReadAsTheirDefaults) {
    EXPECT_EQ(Settings::Read(Settings::MainHeight), QStringLiteral("6000"));
    EXPECT_FALSE(Settings::IsStored(Settings::MainHeight));
    EXPECT_EQ(Settings::Read(Settings::FontName), QStringLiteral("Meiryo UI"));
    EXPECT_EQ(Settings::Read(Settings::ConnectDsn), QString());
    EXPECT_EQ(ReadSetting(QStringLiteral("Other"), QStringLiteral("A"), QStringLiteral("B"),
                          QStringLiteral("dflt")),
              QStringLiteral("dflt"));
}

TEST_F(SettingsStoreTest, ValuesReadBackAsTheSameText) {
    const QString values[] = {QStringLiteral("True"),   QStringLiteral("10.5"),
                              QStringLiteral("a,b"),    QStringLiteral(" spaced "),
                              QStringLiteral("日本語"), QStringLiteral("@Invalid()"),
                              QStringLiteral(""),       QStringLiteral("C:\\dir\\x.sql")};
    for (const QString &value : values) {
        Settings::Write(Settings::OpenSql, value);
        EXPECT_EQ(Settings::Read(Settings::OpenSql), value);
        EXPECT_TRUE(Settings::IsStored(Settings::OpenSql));  // also an empty text
    }
}

TEST_F(SettingsStoreTest, ApplicationsDoNotShareValues) {
    WriteSetting(QStringLiteral("Tessory"), QStringLiteral("QUERY"), QStringLiteral("TIMEOUT"),
                 QStringLiteral("5"));
    EXPECT_EQ(ReadSetting(QStringLiteral("Other"), QStringLiteral("QUERY"),
                          QStringLiteral("TIMEOUT"), QStringLiteral("30")),
              QStringLiteral("30"));
    EXPECT_EQ(Settings::ReadInt(Settings::QueryTimeout, 30), 5);
}

struct IntRow {
    const char *text;
    std::optional<int> value;
};

TEST(SettingConversions, NumericTextToInt) {
    const IntRow rows[] = {
        {"0", 0},
        {"6000", 6000},
        {"-15", -15},
        {" 42 ", 42},
        {"10.5", 10},
        {"11.5", 12},
        {"-2.5", -2},
        {"2.4999", 2},
        {"1e3", 1000},
        {".5", 0},
        {"1.5", 2},
        {"+7", 7},
        {"abc", {}},
        {"", {}},
        {"12abc", {}},
        {"1,000", {}},
        {"3000000000", {}},
        {"-2147483648", INT_MIN},
        {"2147483647", 2147483647},
        {"nan", {}},
        {"inf", {}},
    };
    for (const IntRow &row : rows) {
        EXPECT_EQ(NumericTextToInt(QString::fromUtf8(row.text)), row.value) << row.text;
    }
}

TEST(SettingConversions, TextToBool) {
    const std::pair<const char *, bool> rows[] = {
        {"True", true}, {"TRUE", true}, {"true", true}, {"False", false}, {"fAlSe", false},
        {"0", false},   {"1", true},    {"-1", true},   {"0.0", false},   {"2.5", true},
        {"yes", false}, {"", false},    {"on", false},
    };
    for (const auto &[text, value] : rows) {
        EXPECT_EQ(TextToBool(QString::fromUtf8(text)), value) << text;
    }
}

TEST(SettingConversions, WritersForms) {
    EXPECT_EQ(TwipsToText(6000.0f), QStringLiteral("6000"));
    EXPECT_EQ(TwipsToText(1234.5f), QStringLiteral("1234.5"));
    EXPECT_EQ(TwipsToText(-15.0f), QStringLiteral("-15"));
    EXPECT_EQ(BoolToText(true), QStringLiteral("True"));
    EXPECT_EQ(BoolToText(false), QStringLiteral("False"));
}

TEST_F(SettingsStoreTest, TypedReadsApplyTheFallbacks) {
    Settings::Write(Settings::MainHeight, QStringLiteral("abc"));
    EXPECT_EQ(Settings::ReadInt(Settings::MainHeight, 0), 0);
    Settings::Write(Settings::FontSize, QStringLiteral("11.5"));
    EXPECT_EQ(Settings::ReadInt(Settings::FontSize, 10), 12);
    EXPECT_FALSE(Settings::ReadBool(Settings::FontBold));
    Settings::Write(Settings::FontItalic, QStringLiteral("TRUE"));
    EXPECT_TRUE(Settings::ReadBool(Settings::FontItalic));
}

}  // namespace
