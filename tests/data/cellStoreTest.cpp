#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

#include "data/cellStore.h"

namespace {

// A cell as it is appended: NULL, or its text in pieces (with a reserve before the rest).
struct Cell {
    std::optional<std::vector<QString>> pieces;

    QString text() const {
        QString whole;
        for (const QString &piece : pieces.value_or(std::vector<QString>())) {
            whole += piece;
        }
        return whole;
    }
};

Cell Null() {
    return {};
}
Cell Text(std::vector<QString> pieces) {
    return Cell{std::move(pieces)};
}

void Append(CellStore &store, const Cell &cell) {
    if (!cell.pieces) {
        store.appendNull();
        return;
    }
    bool first = true;
    for (const QString &piece : *cell.pieces) {
        if (!first) {
            store.reserve(piece.size());
        }
        store.appendPiece(reinterpret_cast<const char16_t *>(piece.utf16()), piece.size());
        first = false;
    }
    store.endCell();
}

TEST(CellStoreTest, CellsComeBackAsAppended) {
    const QString chunkAndMore = QStringLiteral("あa").repeated((1 << 19) + 3);
    std::vector<Cell> manyRows;
    for (int n = 0; n < 3000; ++n) {  // about one and a half chunks of text
        manyRows.push_back(Text({QStringLiteral("値%1").arg(n).repeated(60)}));
        manyRows.push_back(n % 7 == 0 ? Null() : Text({QString()}));
    }
    struct Case {
        const char *name;
        int columns;
        std::vector<Cell> cells;
    };
    const std::vector<Case> cases = {
        {"text, empty text and NULL apart",
         3,
         {Text({QStringLiteral("日本語")}), Text({QString()}), Null(), Null(),
          Text({QStringLiteral("x")}), Text({QStringLiteral("yz")})}},
        {"NULLs at the start and the end",
         2,
         {Null(), Null(), Text({QStringLiteral("a")}), Null()}},
        {"a value in pieces", 2, {Text({QStringLiteral("ab"), QStringLiteral("cd")}), Null()}},
        {"one column", 1, {Text({QStringLiteral("a")}), Null(), Text({QString()})}},
        {"a value longer than a chunk, after a short one in its row",
         2,
         {Text({QStringLiteral("short")}), Text({chunkAndMore.left(100), chunkAndMore.mid(100)}),
          Text({QStringLiteral("after")}), Null()}},
        {"rows over several chunks", 2, manyRows},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        CellStore store(c.columns);
        qsizetype length = 0;
        for (const Cell &cell : c.cells) {
            Append(store, cell);
            length += cell.text().size();
        }
        ASSERT_EQ(store.rowCount(), qsizetype(c.cells.size()) / c.columns);
        EXPECT_EQ(store.textLength(), length);
        for (size_t index = 0; index < c.cells.size(); ++index) {
            const qsizetype row = qsizetype(index) / c.columns;
            const int column = int(index % size_t(c.columns));
            SCOPED_TRACE(index);
            EXPECT_EQ(store.isNull(row, column), !c.cells[index].pieces);
            EXPECT_EQ(store.text(row, column).toString(), c.cells[index].text());
        }
    }
}

TEST(CellStoreTest, ARowBeingAppendedIsNotCounted) {
    CellStore store(3);
    Append(store, Text({QStringLiteral("a")}));
    Append(store, Null());
    EXPECT_EQ(store.rowCount(), 0);
    Append(store, Text({QStringLiteral("b")}));
    EXPECT_EQ(store.rowCount(), 1);
    Append(store, Text({QStringLiteral("c")}));
    EXPECT_EQ(store.rowCount(), 1);
    EXPECT_EQ(store.text(0, 2).toString(), QStringLiteral("b"));
}

// UTF-8 goes in through two ways, a widening of ASCII and the decoder; a value in one piece or
// in several, at the edges of ASCII and of the arena's chunks, comes back as Qt decodes it.
TEST(CellStoreTest, Utf8ComesBackAsQtDecodesIt) {
    const QByteArray longAscii = QByteArray("order line 000000042 ").repeated(60'000);
    struct Case {
        const char *name;
        std::vector<QByteArray> pieces;
    };
    const std::vector<Case> cases = {
        {"ascii", {"order line 000000042"}},
        {"the last ASCII byte and the first past it", {"\x7f\xc2\x80"}},
        {"Japanese after ASCII", {"note 受注データ行00000003番目です"}},
        {"four-byte character", {"a\xf0\x9f\x98\x80z"}},
        {"invalid bytes", {"ok\xff\xfe end"}},
        {"a character cut in two", {"a\xe3\x81"}},
        {"ascii then Japanese in pieces", {"abc", "受注", "def"}},
        {"longer than a chunk", {longAscii, "末尾"}},
        {"empty", {""}},
    };
    for (const Case &row : cases) {
        CellStore store(2);
        QString expected;
        bool first = true;
        for (const QByteArray &piece : row.pieces) {
            if (!first) {
                store.reserve(piece.size());
            }
            store.appendUtf8(piece.constData(), piece.size());
            expected += QString::fromUtf8(piece);
            first = false;
        }
        store.endCell();
        store.appendUtf8("後", 3);
        store.endCell();
        EXPECT_EQ(store.text(0, 0).toString(), expected) << row.name;
        EXPECT_EQ(store.text(0, 1).toString(), QStringLiteral("後")) << row.name;
    }
}

}  // namespace
