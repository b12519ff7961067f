#include "files/xlsxWorkbook.h"

#include <xlsxwriter.h>

#include "core/failure.h"

XlsxWorkbook::XlsxWorkbook(const QString &path) : path_(path) {
    const QByteArray file = path.toLocal8Bit();
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    workbook_ = workbook_new_opt(file.constData(), &options);
    if (!workbook_) {
        throw Failure{FailureNumber::PermissionDenied,
                      QStringLiteral("ブックを作成できません: %1").arg(path)};
    }
    sheet_ = workbook_add_worksheet(workbook_, nullptr);
    text_ = workbook_add_format(workbook_);
    if (!sheet_ || !text_) {
        throw MakeFailure(FailureNumber::OutOfMemory);
    }
    format_set_num_format(text_, "@");
}

XlsxWorkbook::~XlsxWorkbook() {
    if (workbook_) {
        workbook_close(workbook_);
    }
}

void XlsxWorkbook::check(int error, const char *step) const {
    if (error != LXW_NO_ERROR) {
        throw Failure{
            FailureNumber::General,
            QStringLiteral("ブックに書き込めません (%1: %2): %3")
                .arg(QLatin1String(step),
                     QString::fromUtf8(lxw_strerror(static_cast<lxw_error>(error))), path_)};
    }
}

void XlsxWorkbook::SetTextColumns(int count) {
    // One column entry each, so that every column carries the format on its own.
    for (int column = 0; column < count; ++column) {
        const auto col = static_cast<lxw_col_t>(column);
        check(worksheet_set_column(sheet_, col, col, LXW_DEF_COL_WIDTH, text_),
              "worksheet_set_column");
    }
}

void XlsxWorkbook::CheckText(std::uint32_t row, int column, QStringView text) {
    if (text.size() <= kCellCharacters) {
        return;
    }
    // The writer counts characters, not UTF-16 units: a surrogate pair is one character.
    qsizetype characters = text.size();
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i].isHighSurrogate() && text[i + 1].isLowSurrogate()) {
            --characters;
            ++i;
        }
    }
    if (characters <= kCellCharacters) {
        return;
    }
    throw Failure{FailureNumber::Overflow,
                  QStringLiteral("%1 行 %2 列の値が、セルに入る長さ (32,767 文字) を超えています。")
                      .arg(row + 1)
                      .arg(column + 1)};
}

void XlsxWorkbook::WriteText(std::uint32_t row, int column, const QString &text) {
    const auto col = static_cast<lxw_col_t>(column);
    if (text.isEmpty()) {
        check(worksheet_write_blank(sheet_, row, col, text_), "worksheet_write_blank");
        return;
    }
    CheckText(row, column, text);
    // UTF-8 needs at most three bytes per UTF-16 unit.
    const auto needed = static_cast<std::size_t>(text.size()) * 3 + 1;
    if (utf8_.size() < needed) {
        utf8_.resize(needed);
    }
    char *end = encoder_.appendToBuffer(utf8_.data(), text);
    *end = '\0';
    check(worksheet_write_string(sheet_, row, col, utf8_.data(), text_), "worksheet_write_string");
}

void XlsxWorkbook::Close() {
    lxw_workbook *workbook = workbook_;
    workbook_ = nullptr;
    check(workbook_close(workbook), "workbook_close");
}
