#include <sqlext.h>

#include <array>
#include <functional>
#include <vector>

#include "tests/data/databaseTest.h"

namespace {

struct Cell {
    bool null = false;
    QString text;
};
using Rows = std::vector<std::vector<Cell>>;

bool IsBinary(SQLSMALLINT type) {
    return type == SQL_BINARY || type == SQL_VARBINARY || type == SQL_LONGVARBINARY;
}

// One value of the current row read in small pieces with SQLGetData: text as wide characters,
// bytes as two lowercase hex digits a byte.
Cell ReadValue(SQLHSTMT statement, SQLUSMALLINT column, bool binary) {
    Cell cell;
    QByteArray bytes;
    std::vector<SQLWCHAR> piece(512);
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = binary
                                 ? SQLGetData(statement, column, SQL_C_BINARY, piece.data(),
                                              SQLLEN(piece.size() * sizeof(SQLWCHAR)), &indicator)
                                 : SQLGetData(statement, column, SQL_C_WCHAR, piece.data(),
                                              SQLLEN(piece.size() * sizeof(SQLWCHAR)), &indicator);
        if (rc == SQL_NO_DATA) {
            break;
        }
        check(rc, SQL_HANDLE_STMT, statement, "SQLGetData");
        if (indicator == SQL_NULL_DATA) {
            cell.null = true;
            return cell;
        }
        const SQLLEN room = binary ? SQLLEN(piece.size() * sizeof(SQLWCHAR))
                                   : SQLLEN((piece.size() - 1) * sizeof(SQLWCHAR));
        const SQLLEN got = indicator == SQL_NO_TOTAL ? room : std::min(indicator, room);
        if (binary) {
            bytes.append(reinterpret_cast<const char *>(piece.data()), got);
        } else {
            cell.text += FromSqlWChar(piece.data(), got / SQLLEN(sizeof(SQLWCHAR)));
        }
        if (rc == SQL_SUCCESS) {
            break;
        }
    }
    if (binary) {
        cell.text = QString::fromLatin1(bytes.toHex());
    }
    return cell;
}

// The reference: the result read row by row with plain SQLFetch and SQLGetData.
Rows ReadRowByRow(SQLHDBC connection, const QString &sql) {
    OdbcHandle statement(SQL_HANDLE_STMT, connection);
    check(SQLExecDirectW(statement.get(), const_cast<SQLWCHAR *>(ToSqlWChar(sql)),
                         SQLINTEGER(sql.size())),
          statement, "SQLExecDirectW");
    SQLSMALLINT columns = 0;
    check(SQLNumResultCols(statement.get(), &columns), statement, "SQLNumResultCols");
    std::vector<bool> binary;
    for (SQLUSMALLINT column = 1; column <= SQLUSMALLINT(columns); ++column) {
        SQLSMALLINT type = 0, digits = 0, nullable = 0, length = 0;
        SQLULEN size = 0;
        check(SQLDescribeColW(statement.get(), column, nullptr, 0, &length, &type, &size, &digits,
                              &nullable),
              statement, "SQLDescribeColW");
        binary.push_back(IsBinary(type));
    }
    Rows rows;
    for (;;) {
        const SQLRETURN rc = SQLFetch(statement.get());
        if (rc == SQL_NO_DATA) {
            return rows;
        }
        check(rc, statement, "SQLFetch");
        std::vector<Cell> row;
        for (SQLUSMALLINT column = 1; column <= SQLUSMALLINT(columns); ++column) {
            row.push_back(ReadValue(statement.get(), column, binary[column - 1]));
        }
        rows.push_back(std::move(row));
    }
}

QString Quoted(const QString &text) {
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("''")) +
           QLatin1Char('\'');
}

// Japanese text (first plane only: the SQLite driver mangles others in statement text).
QString Japanese(int n) {
    return QStringLiteral("受注データ行%1番目です㈱").arg(n);
}

class RecordsetBlockFetchTest : public DatabaseTest {
public:
    QString Binary(const QByteArray &bytes) const {
        const QString hex = QString::fromLatin1(bytes.toHex());
        return postgres() ? QStringLiteral("'\\x%1'::bytea").arg(hex)
                          : QStringLiteral("x'%1'").arg(hex);
    }
    bool OnPostgres() const { return postgres(); }
    QString LongType() const { return QString::fromLatin1(traits().longTextType); }
    QString BinaryType() const { return QString::fromLatin1(traits().binaryType); }
    // An expression of `count` U+1F600 (four bytes of UTF-8, two UTF-16 characters each),
    // written without the character itself in the statement's text.
    QString Emoji(int count) const {
        return postgres()
                   ? QStringLiteral("repeat(chr(128512), %1)").arg(count)
                   : QStringLiteral("replace(hex(zeroblob(%1)), '00', char(128512))").arg(count);
    }
    QString Concat(const QString &a, const QString &b) const {
        return QStringLiteral("(%1 || %2)").arg(a, b);
    }
};

struct Case {
    const char *name;
    bool mariaDb;  // MariaDB has no column type whose values outgrow its described size
    int rows;
    // The column list of CREATE TABLE, and the SQL literals of row n (from 1).
    std::function<QString(const RecordsetBlockFetchTest &)> columns;
    std::function<QStringList(const RecordsetBlockFetchTest &, int)> row;
};

TEST_P(RecordsetBlockFetchTest, ResultsMatchARowByRowRead) {
    const Case cases[] = {
        {"several blocks with NULLs at their edges, a count that is no multiple of a block", false,
         1301,
         [](const RecordsetBlockFetchTest &) {
             return QStringLiteral(
                 "id integer, name varchar(40), amount numeric(10,2), "
                 "ratio double precision, seen timestamp, note varchar(20)");
         },
         [](const RecordsetBlockFetchTest &, int n) {
             const int edge = n % 256;  // blocks hold a power of two of rows, or one
             const bool null = edge == 0 || edge == 1 || edge == 255;
             return QStringList{
                 QString::number(n % 7 == 0 ? -n : n),
                 null ? QStringLiteral("NULL")
                      : Quoted(n % 3 == 0 ? Japanese(n) : QStringLiteral("order line %1").arg(n)),
                 null ? QStringLiteral("NULL") : QStringLiteral("%1.%2").arg(n).arg(n % 100),
                 QStringLiteral("%1e%2").arg(double(n) / 7.0, 0, 'g', 17).arg(n % 40 - 20),
                 QStringLiteral("'2024-02-29 %1:%2:%3'")
                     .arg(n % 24, 2, 10, QLatin1Char('0'))
                     .arg(n % 60, 2, 10, QLatin1Char('0'))
                     .arg((n * 7) % 60, 2, 10, QLatin1Char('0')),
                 n % 512 == 0 || n % 512 == 511 ? QStringLiteral("NULL")
                 : n % 5 == 0                   ? QStringLiteral("''")
                 : n % 7 == 3  // the column's whole size
                     ? Quoted(QStringLiteral("note %1").arg(n).leftJustified(20, QLatin1Char('z')))
                     : Quoted(QStringLiteral("note %1").arg(n)),
             };
         }},
        {"long columns before, between and after bounded ones", true, 40,
         [](const RecordsetBlockFetchTest &t) {
             return QStringLiteral("head %1, id integer, name varchar(20), body %1, tail %1")
                 .arg(t.LongType());
         },
         [](const RecordsetBlockFetchTest &, int n) {
             const QString piece = QStringLiteral("あいうえおABCｶﾀｶﾅ");
             const auto longText = [&](int length) {
                 return Quoted(piece.repeated(length / piece.size() + 1).left(length));
             };
             return QStringList{
                 n % 4 == 0 ? QStringLiteral("NULL") : longText(n * 211),
                 QString::number(n),
                 n % 6 == 0 ? QStringLiteral("NULL") : Quoted(Japanese(n)),
                 n % 5 == 0 ? QStringLiteral("''") : longText(4090 + n * 3),
                 // around the buffer of a long column: 255 characters fit, 256 do not
                 n % 3 == 0 ? QStringLiteral("NULL")
                            : longText(std::array{12, 255, 256, 257, 9000}[size_t(n % 5)]),
             };
         }},
        // SQLite keeps any length in a varchar(10); psqlODBC describes a varchar without a
        // length as 255 characters, and a block of rows of them is read.
        {"values longer than the described size", false, 30,
         [](const RecordsetBlockFetchTest &t) {
             return t.OnPostgres()
                        ? QStringLiteral("id integer, code varchar, name varchar")
                        : QStringLiteral("id integer, code varchar(10), name varchar(10)");
         },
         [](const RecordsetBlockFetchTest &, int n) {
             return QStringList{
                 QString::number(n),
                 Quoted(QStringLiteral("x").repeated(n % 2 == 0 ? 5000 : 10)),
                 n % 4 == 0 ? QStringLiteral("NULL") : Quoted(Japanese(n).repeated(n)),
             };
         }},
        // Multi-byte characters across the end of a bound buffer (a long column's 256, a
        // varchar(10)'s 31 bytes read as UTF-8) and of a 64 KiB piece read with SQLGetData.
        {"multi-byte characters across buffer and piece ends", false, 24,
         [](const RecordsetBlockFetchTest &t) {
             return QStringLiteral(
                        "id integer, code varchar(10), body %1, amount double precision, "
                        "seen timestamp")
                 .arg(t.LongType());
         },
         [](const RecordsetBlockFetchTest &t, int n) {
             const auto ascii = [](int length) { return Quoted(QString(length, u'a')); };
             const int shift = n % 4;
             const QString code[] = {
                 QStringLiteral("NULL"),
                 QStringLiteral("''"),
                 Quoted(QStringLiteral("あ").repeated(10)),
                 t.Emoji(5),
                 t.Concat(Quoted(QStringLiteral("ｶ").repeated(9)), t.Emoji(1)),
                 Quoted(QStringLiteral("x")),
             };
             const QString body[] = {
                 t.Concat(ascii(253 + shift), Quoted(QStringLiteral("あいう").repeated(4))),
                 t.Concat(ascii(252 + shift), t.Emoji(3)),
                 t.Concat(ascii(65532 + shift), Quoted(QStringLiteral("受注").repeated(50))),
                 t.Concat(ascii(65531 + shift), t.Emoji(40)),
                 QStringLiteral("''"),
                 QStringLiteral("NULL"),
             };
             const QString amount[] = {QStringLiteral("1e300"), QStringLiteral("-0.5"),
                                       QStringLiteral("%1").arg(double(n) / 7.0, 0, 'g', 17),
                                       QStringLiteral("NULL")};
             return QStringList{
                 QString::number(n),
                 code[n % 6],
                 body[(n / 4) % 6],
                 amount[n % 4],
                 QStringLiteral("'2024-02-29 23:59:%1'").arg(n % 60, 2, 10, QLatin1Char('0')),
             };
         }},
        {"binary between text", true, 600,
         [](const RecordsetBlockFetchTest &t) {
             return QStringLiteral("id integer, data %1, name varchar(20)").arg(t.BinaryType());
         },
         [](const RecordsetBlockFetchTest &t, int n) {
             QByteArray bytes;
             for (int i = 0; i < n % 50; ++i) {
                 bytes.append(char((n * 31 + i) % 256));
             }
             return QStringList{
                 QString::number(n),
                 n % 9 == 0 ? QStringLiteral("NULL") : t.Binary(bytes),
                 Quoted(Japanese(n)),
             };
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.mariaDb && GetParam() == TestDriver::MariaDb) {
            continue;
        }
        const QString t = table(QStringLiteral("block"));
        Exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(t));
        Exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(t, c.columns(*this)));
        QStringList values;
        for (int n = 1; n <= c.rows; ++n) {
            values.append(QLatin1Char('(') + c.row(*this, n).join(QStringLiteral(", ")) +
                          QLatin1Char(')'));
            if (values.size() == 50 || n == c.rows) {
                Exec(QStringLiteral("INSERT INTO %1 VALUES %2")
                         .arg(t, values.join(QStringLiteral(", "))));
                values.clear();
            }
        }
        const QString sql = QStringLiteral("SELECT * FROM %1 ORDER BY id").arg(t);
        const Rows expected = ReadRowByRow(connection.handle(), sql);
        ASSERT_EQ(expected.size(), size_t(c.rows));

        Recordset rs;
        rs.Open(sql, connection);
        ASSERT_EQ(rs.RecordCount(), qsizetype(expected.size()));
        ASSERT_EQ(rs.FieldCount(), int(expected.front().size()));
        int mismatches = 0;
        for (size_t row = 0; row < expected.size(); ++row) {
            for (int field = 0; field < rs.FieldCount(); ++field) {
                const Cell &want = expected[row][size_t(field)];
                const bool null = rs.CellIsNull(qsizetype(row), field);
                const QString text = rs.CellText(qsizetype(row), field).toString();
                if (null != want.null || text != want.text) {
                    if (++mismatches <= 5) {
                        ADD_FAILURE()
                            << "row " << row << " field " << field << ": "
                            << (null ? "NULL" : text.left(80).toStdString()) << " instead of "
                            << (want.null ? "NULL" : want.text.left(80).toStdString());
                    }
                }
            }
        }
        EXPECT_EQ(mismatches, 0);
        rs.Close();
        Exec(QStringLiteral("DROP TABLE %1").arg(t));
    }
}

TESSORY_ALL_DRIVERS(RecordsetBlockFetchTest);

}  // namespace
