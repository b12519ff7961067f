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

XlsxWriteResult WriteXlsx(RowSource &source, const QString &path, std::uint32_t sheetRows) {
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

    XlsxWriteResult result;
    QList<ExportCell> row(fields);
    std::uint32_t sheetRow = 1;
    try {
        while (source.NextRow(row)) {
            if (sheetRow >= sheetRows) {
                result.stopped = SheetFull(sheetRows);
                break;
            }
            // Every value is checked before the first is written, so that a value the sheet
            // cannot take never leaves half a row behind.
            for (int field = 0; field < fields; ++field) {
                XlsxWorkbook::CheckText(sheetRow, field, row[field].text);
            }
            for (int field = 0; field < fields; ++field) {
                const ExportCell &cell = row[field];
                book.WriteText(sheetRow, field, cell.isNull ? QString() : cell.text);
            }
            ++sheetRow;
            ++result.rowsWritten;
        }
    } catch (const Failure &failure) {
        result.stopped = failure;
    }
    book.Close();
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

QString ExportToExcel(RowSource &source, DesktopOpener &opener, const QString &folder,
                      const QDateTime &now) {
    QString path;
    XlsxWriteResult result;
    try {
        path = ReserveExportFile(folder, now);
        result = WriteXlsx(source, path);
    } catch (const Failure &failure) {
        if (!path.isEmpty()) {
            QFile::remove(path);  // our own reservation, or a workbook that could not be closed
        }
        clsMsg().ShowError(failure.description);
        return {};
    }
    if (result.stopped) {
        clsMsg().ShowError(result.stopped->description);
    }
    // The workbook is saved either way: that no program opens it is news, not a failure.
    if (!opener.open(path)) {
        clsMsg().ShowInformation(NotOpenedText(path));
    }
    return path;
}
