#include "files/xlsxExport.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QStandardPaths>

#include "core/clsMsg.h"
#include "core/desktopOpener.h"

namespace {

Failure SheetFull(std::uint32_t sheetRows) {
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    return Failure{FailureNumber::Overflow,
                   QStringLiteral("結果の行数がワークシートの上限 (%1 行) を超えたため、"
                                  "%1 行目までを書き込みました。")
                       .arg(english.toString(sheetRows))};
}

// What the export says when no application opened the saved workbook at `path`.
QString NotOpenedText(const QString &path) {
    return QStringLiteral(
               "エクスポートしたファイルを次の場所に保存しました。\n%1\n\n"
               "このファイルを開くアプリケーションが見つからないため、ファイルは開いていません。")
        .arg(path);
}

}  // namespace

XlsxWriteResult WriteXlsx(RowSource &source, const QString &path, const XlsxWriteControl &control,
                          std::uint32_t sheetRows) {
    XlsxWriteResult result;
    try {
        const int fields = source.FieldCount();
        if (fields > XlsxWorkbook::kSheetColumns) {
            throw Failure{
                FailureNumber::Overflow,
                QStringLiteral("結果の列数がワークシートの上限 (16,384 列) を超えています。")};
        }
        XlsxWorkbook book(path);
        book.SetTextColumns(fields);
        for (int field = 0; field < fields; ++field) {
            book.WriteText(0, field, source.FieldName(field));
        }
        QList<ExportCell> row(fields);
        std::uint32_t sheetRow = 1;
        for (;;) {
            if (control.cancelled && control.cancelled()) {
                result.cancelled = true;
                break;
            }
            if (!source.NextRow(row)) {
                break;
            }
            if (sheetRow >= sheetRows) {
                result.stopped = SheetFull(sheetRows);
                break;
            }
            // Every value is checked before the first is written, so that a value the sheet
            // cannot take never leaves half a row behind.
            try {
                for (int field = 0; field < fields; ++field) {
                    XlsxWorkbook::CheckText(sheetRow, field, row[field].text);
                }
            } catch (const Failure &tooLong) {
                result.stopped = tooLong;
                break;
            }
            for (int field = 0; field < fields; ++field) {
                const ExportCell &cell = row[field];
                book.WriteText(sheetRow, field, cell.isNull ? QString() : cell.text);
            }
            ++sheetRow;
            ++result.rowsWritten;
            if (control.progress && result.rowsWritten % XlsxWriteControl::kProgressRows == 0) {
                control.progress(result.rowsWritten);
            }
        }
        if (!result.cancelled) {
            book.Close();
        }
        // A cancelled book is released (and written, as libxlsxwriter only writes on close)
        // here, before its file is removed.
    } catch (...) {
        // The source or the file failed: a workbook that holds an unknown part of the rows is
        // not left behind.
        QFile::remove(path);
        throw;
    }
    if (result.cancelled) {
        QFile::remove(path);
    }
    return result;
}

QString DefaultExportFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QString() : documents + QStringLiteral("/Tessory");
}

QString ReserveExportFile(const QString &folder, const QDateTime &now) {
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        throw Failure{FailureNumber::PathNotFound,
                      QStringLiteral("保存先のフォルダーを作成できません: %1").arg(folder)};
    }
    const QString stem = QDir(folder).filePath(now.toString(QStringLiteral("yyyyMMdd_HHmmss")));
    // The bound keeps the loop finite on a folder that refuses every name.
    for (int number = 1; number <= 1000; ++number) {
        const QString path = number == 1 ? stem + QStringLiteral(".xlsx")
                                         : QStringLiteral("%1_%2.xlsx").arg(stem).arg(number);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            return path;
        }
        if (!file.exists()) {
            throw Failure{FailureNumber::PermissionDenied,
                          QStringLiteral("ファイルを作成できません: %1").arg(path)};
        }
    }
    throw Failure{FailureNumber::PermissionDenied,
                  QStringLiteral("ファイルを作成できません: %1").arg(stem)};
}

ExportOutcome WriteExport(RowSource &source, const XlsxWriteControl &control, const QString &folder,
                          const QDateTime &now) {
    ExportOutcome outcome;
    QString path;
    try {
        path = ReserveExportFile(folder, now);
        const XlsxWriteResult result = WriteXlsx(source, path, control);
        outcome.rowsWritten = result.rowsWritten;
        outcome.cancelled = result.cancelled;
        outcome.failure = result.stopped;
        if (!result.cancelled) {
            outcome.path = path;
        }
    } catch (const Failure &failure) {
        if (!path.isEmpty()) {
            QFile::remove(path);  // our own reservation, when writing never started
        }
        outcome.failure = failure;
    }
    return outcome;
}

QString ReportExport(const ExportOutcome &outcome, DesktopOpener &opener) {
    if (outcome.cancelled) {
        return {};  // the user asked for it: nothing to tell
    }
    if (outcome.failure) {
        clsMsg().ShowError(outcome.failure->description);
    }
    if (outcome.path.isEmpty()) {
        return {};
    }
    // The workbook is saved either way: that no program opens it is news, not a failure.
    if (!opener.open(outcome.path)) {
        clsMsg().ShowInformation(NotOpenedText(outcome.path));
    }
    return outcome.path;
}

QString ExportToExcel(RowSource &source, DesktopOpener &opener, const QString &folder,
                      const QDateTime &now) {
    return ReportExport(WriteExport(source, {}, folder, now), opener);
}
