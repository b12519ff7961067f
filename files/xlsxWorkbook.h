#pragma once

#include <QString>
#include <QStringEncoder>

#include <cstdint>
#include <vector>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// Owns one libxlsxwriter workbook with a single worksheet, written in constant-memory mode:
// rows go to a temporary file as they are written, so memory does not grow with the rows.
// Rows must be written in ascending order. Every error becomes a Failure.
class XlsxWorkbook {
public:
    static constexpr std::uint32_t kSheetRows = 1048576;
    static constexpr int kSheetColumns = 16384;
    static constexpr qsizetype kCellCharacters = 32767;  // counted in Unicode characters

    // Creates the workbook that will be written to `path` when it is closed.
    explicit XlsxWorkbook(const QString &path);
    // Closes the workbook if Close was not called; errors are dropped there.
    ~XlsxWorkbook();
    XlsxWorkbook(const XlsxWorkbook &) = delete;
    XlsxWorkbook &operator=(const XlsxWorkbook &) = delete;

    // Gives the first `count` columns the text number format "@".
    void SetTextColumns(int count);
    // Writes one cell as text in the text format; the empty string leaves the cell empty.
    void WriteText(std::uint32_t row, int column, const QString &text);
    // Throws the failure WriteText gives for a text too long for a cell, without writing.
    static void CheckText(std::uint32_t row, int column, QStringView text);
    // Writes the file and releases the workbook.
    void Close();

private:
    void check(int error, const char *step) const;

    QString path_;
    lxw_workbook *workbook_ = nullptr;
    lxw_worksheet *sheet_ = nullptr;
    lxw_format *text_ = nullptr;
    QStringEncoder encoder_{QStringEncoder::Utf8, QStringConverter::Flag::Stateless};
    std::vector<char> utf8_;  // reused buffer for the cell text
};
