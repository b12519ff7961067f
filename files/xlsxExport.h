#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

#include "core/failure.h"
#include "files/xlsxWorkbook.h"

class DesktopOpener;

// One value of a result row: its text, and whether it is NULL.
struct ExportCell {
    QString text;
    bool isNull = false;
};

// The rows to export: the field names, then the rows one at a time from the first.
class RowSource {
public:
    virtual ~RowSource() = default;
    virtual int FieldCount() const = 0;
    virtual QString FieldName(int field) const = 0;
    // Fills `row` (FieldCount() cells) with the next row; false when no row is left.
    virtual bool NextRow(QList<ExportCell> &row) = 0;
};

// How the writing step tells how far it has come and learns that the user cancelled. Both are
// called on the thread that writes; either may be left empty.
struct XlsxWriteControl {
    // How often `progress` is called: after every this many data rows.
    static constexpr std::int64_t kProgressRows = 2000;
    std::function<void(std::int64_t rowsWritten)> progress;
    // Read before each row; true stops the writing.
    std::function<bool()> cancelled;
};

struct XlsxWriteResult {
    std::int64_t rowsWritten = 0;    // data rows, the header row not counted
    std::optional<Failure> stopped;  // why writing stopped before the last row
    bool cancelled = false;          // the user cancelled: no file is left
};

// Writes one sheet to `path`: the field names in row 1, then one row per source row, every
// column and cell in the text format "@", values as text and NULL as an empty cell. When the
// rows do not fit on the sheet (`sheetRows` rows, header included) or a value is too long for a
// cell, the rows written so far are kept whole, the file is still closed properly, and
// `stopped` says why: the user gets the rows that fit. A cancel removes the file and says so in
// `cancelled`.
// Throws when no usable file could be written: the source or the file failed (the partial
// file is removed first).
XlsxWriteResult WriteXlsx(RowSource &source, const QString &path,
                          const XlsxWriteControl &control = {},
                          std::uint32_t sheetRows = XlsxWorkbook::kSheetRows);

// The folder that receives exported workbooks: "Tessory" in the user's documents folder.
QString DefaultExportFolder();

// Creates `folder` when missing and, in it, a new empty file named by `now`
// ("yyyyMMdd_HHmmss.xlsx", then "_2", "_3" ... when the name is taken); returns its path.
// An existing file is never reused.
QString ReserveExportFile(const QString &folder, const QDateTime &now);

// What the writing step of the export hands to the step that tells the user.
struct ExportOutcome {
    QString path;  // the workbook kept, also with part of the rows; or empty
    std::int64_t rowsWritten = 0;
    bool cancelled = false;          // the user cancelled; no workbook is kept
    std::optional<Failure> failure;  // why no workbook was made, or why it holds part of the rows
};

// The writing step of the export, fit for any thread: reserves a new file in `folder` and
// writes the rows to it. Asks nothing and shows nothing; a failed or cancelled write leaves no
// file behind.
ExportOutcome WriteExport(RowSource &source, const XlsxWriteControl &control = {},
                          const QString &folder = DefaultExportFolder(),
                          const QDateTime &now = QDateTime::currentDateTime());

// The user-interface thread's step after WriteExport: shows a failure with ShowError, hands the
// workbook to `opener`, and when no application opens it says in an information box where it
// was saved. A cancel shows nothing. Returns the path of the workbook, or an empty string.
QString ReportExport(const ExportOutcome &outcome, DesktopOpener &opener);

// Both steps at once on the calling thread: writes the rows to a new workbook in `folder` and
// reports as ReportExport does. Returns the path of the workbook (also when it holds only part
// of the rows), or an empty string when none was made.
QString ExportToExcel(RowSource &source, DesktopOpener &opener,
                      const QString &folder = DefaultExportFolder(),
                      const QDateTime &now = QDateTime::currentDateTime());
