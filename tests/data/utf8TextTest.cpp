#include <clocale>
#include <string>

#include "tests/data/databaseTest.h"

namespace {

// Runs a test body under the C locale, where a conversion of text by the locale would lose
// every character beyond ASCII, and restores the locale afterwards.
class CLocale {
public:
    CLocale() : saved_(std::setlocale(LC_ALL, nullptr)) { std::setlocale(LC_ALL, "C"); }
    ~CLocale() { std::setlocale(LC_ALL, saved_.c_str()); }
    CLocale(const CLocale &) = delete;
    CLocale &operator=(const CLocale &) = delete;

private:
    std::string saved_;
};

class TextValueTest : public DatabaseTest {};

// Values whose characters take two to four bytes of UTF-8, some across the end of a column's
// buffer or of a piece read with SQLGetData, come back whole and exact.
TEST_P(TextValueTest, MultiByteValuesComeBackExactUnderTheCLocale) {
    if (GetParam() == TestDriver::MariaDb) {
        GTEST_SKIP() << "the expressions below are written for SQLite and PostgreSQL";
    }
    const CLocale locale;
    const QString emoji = QString::fromUcs4(U"\U0001F600");
    const auto emojiSql = [&](int count) {
        return postgres()
                   ? QStringLiteral("repeat(chr(128512), %1)").arg(count)
                   : QStringLiteral("replace(hex(zeroblob(%1)), '00', char(128512))").arg(count);
    };
    const auto ascii = [](int length) { return QString(length, u'a'); };
    struct Case {
        const char *name;
        QString sql;  // the value as an SQL expression; NULL, or its text
        bool null;
        QString text;
    };
    const Case cases[] = {
        {"Japanese", QStringLiteral("'あいう㈱'"), false, QStringLiteral("あいう㈱")},
        {"a character beyond the first plane", emojiSql(1), false, emoji},
        {"empty", QStringLiteral("''"), false, QString()},
        {"NULL", QStringLiteral("NULL"), true, QString()},
        {"a four-byte character across a long column's buffer end",
         QStringLiteral("'%1' || %2").arg(ascii(253), emojiSql(2)), false,
         ascii(253) + emoji + emoji},
        {"a three-byte character across a 64 KiB piece",
         QStringLiteral("'%1' || 'あいう'").arg(ascii(65534)), false,
         ascii(65534) + QStringLiteral("あいう")},
        {"a four-byte character across a 64 KiB piece",
         QStringLiteral("'%1' || %2").arg(ascii(65533), emojiSql(3)), false,
         ascii(65533) + emoji + emoji + emoji},
    };
    const QString t = table(QStringLiteral("utf8"));
    Exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(t));
    Exec(QStringLiteral("CREATE TABLE %1 (id integer, code varchar(10), body %2)")
             .arg(t, QString::fromLatin1(traits().longTextType)));
    // The short values go to the bounded column as well, and the longest value that is 10
    // characters there: nine of three bytes and one of four.
    int id = 0;
    for (const Case &c : cases) {
        const QString code = c.text.size() <= 10 ? c.sql : QStringLiteral("NULL");
        Exec(QStringLiteral("INSERT INTO %1 VALUES (%2, %3, %4)")
                 .arg(t, QString::number(id++), code, c.sql));
    }
    Exec(QStringLiteral("INSERT INTO %1 VALUES (%2, '%3' || %4, NULL)")
             .arg(t, QString::number(id), QStringLiteral("ｶ").repeated(9), emojiSql(1)));

    Recordset rs;
    rs.Open(QStringLiteral("SELECT code, body FROM %1 ORDER BY id").arg(t), connection);
    ASSERT_EQ(rs.RecordCount(), qsizetype(std::size(cases)) + 1);
    for (qsizetype row = 0; row < qsizetype(std::size(cases)); ++row) {
        const Case &c = cases[row];
        SCOPED_TRACE(c.name);
        EXPECT_EQ(rs.CellIsNull(row, 1), c.null);
        EXPECT_EQ(rs.CellText(row, 1).toString(), c.text);
        if (c.text.size() <= 10) {
            EXPECT_EQ(rs.CellIsNull(row, 0), c.null);
            EXPECT_EQ(rs.CellText(row, 0).toString(), c.text);
        }
    }
    const qsizetype last = qsizetype(std::size(cases));
    EXPECT_EQ(rs.CellText(last, 0).toString(), QStringLiteral("ｶ").repeated(9) + emoji);
    rs.Close();
    Exec(QStringLiteral("DROP TABLE %1").arg(t));
}

TESSORY_ALL_DRIVERS(TextValueTest);

}  // namespace
