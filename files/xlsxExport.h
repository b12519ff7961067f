#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <cstdint>
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

struct XlsxWriteResult {
    std::int64_t rowsWritten = 0;    // data rows, the header row not counted
    std::optional<Failure> stopped;  // why writing stopped before the last row
};

// Writes one sheet to `path`: the field names in row 1, then one row per source row, every
// column and cell in the text format "@", values as text and NULL as an empty cell. When the
// rows do not fit on the sheet (`sheetRows` rows, header included), a value is too long for a
// cell or the source fails, the rows written so far are kept whole, the file is still closed
// properly, and `stopped` says why.
// Throws when no usable file could be written.
XlsxWriteResult WriteXlsx(RowSource &source, const QString &path,
                          std::uint32_t sheetRows = XlsxWorkbook::kSheetRows);

// The folder that receives exported workbooks: "Tessory" in the user's documents folder.
QString DefaultExportFolder();

// Creates `folder` when missing and, in it, a new empty file named by `now`
// ("yyyyMMdd_HHmmss.xlsx", then "_2", "_3" ... when the name is taken); returns its path.
// An existing file is never reused.
QString ReserveExportFile(const QString &folder, const QDateTime &now);

// The writing step of the export command: writes the rows to a new workbook in `folder` and
// hands it to `opener`. Every failure is shown with ShowError; when no application opens the
// workbook, an information box says where it was saved. Returns the path of the
// workbook (also when it holds only part of the rows), or an empty string when none was made.
QString ExportToExcel(RowSource &source, DesktopOpener &opener,
                      const QString &folder = DefaultExportFolder(),
                      const QDateTime &now = QDateTime::currentDateTime());
