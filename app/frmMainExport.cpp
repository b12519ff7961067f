// The export of a window's result to a workbook, written on the connection's worker while a
// progress dialog counts the rows and offers to cancel.
#include <atomic>
#include <memory>

#include "app/frmMain.h"
#include "core/desktopOpener.h"
#include "core/failure.h"
#include "data/layerFailure.h"
#include "data/recordset.h"
#include "data/resultFetch.h"
#include "files/recordsetRowSource.h"
#include "files/xlsxExport.h"
#include "ui/exportProgressDialog.h"
#include "ui/frmSQL.h"

namespace {
const QString kMessage = QStringLiteral("MESSAGE");
const QString kProgress = QStringLiteral("PROGRESS");
}  // namespace

void frmMain::StartExport(frmSQL &doc) {
    // The rows go over to the workbook: the window's result is closed, and the worker reads
    // rows that nothing else can touch.
    std::unique_ptr<FetchedResult> result;
    if (!ReportFailure([&] { result = doc.RecordSet().TakeResult(); })) {
        return;
    }
    if (!result) {
        // A run without a result set has nothing to export: the closed recordset's failure.
        ExportOutcome nothing;
        nothing.failure = MakeLayerFailure(LayerFailureNumber::ObjectClosed);
        ReportExport(nothing, CurrentDesktopOpener());
        return;
    }
    auto source = std::make_shared<ResultRowSource>(std::move(result));
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    auto outcome = std::make_shared<ExportOutcome>();
    auto *dialog = new ExportProgressDialog(source->RowCount(), this);
    connect(dialog, &ExportProgressDialog::cancelRequested, this, [cancel] { *cancel = true; });
    exportCancel_ = cancel;
    dialog->show();
    EnabledControls();
    worker_.Start(
        [source, cancel, outcome, dialog = QPointer(dialog)](JobContext &context) {
            XlsxWriteControl control;
            control.progress = [&context, dialog](std::int64_t rows) {
                context.Post([dialog, rows] {
                    if (dialog) {
                        dialog->SetRowsWritten(rows);
                    }
                });
            };
            control.cancelled = [&context, cancel] {
                return cancel->load() || context.Cancel().Requested();
            };
            *outcome = WriteExport(*source, control);
        },
        [this, outcome, dialog = QPointer(dialog)] {
            exportCancel_.reset();
            if (dialog) {
                dialog->accept();
                dialog->deleteLater();
            }
            EnabledControls();
            const QString path = ReportExport(*outcome, CurrentDesktopOpener());
            if (!path.isEmpty()) {
                SetPanelText(kMessage, path);
            }
            if (outcome->cancelled) {
                SetPanelText(kProgress, QStringLiteral("エクセルへの出力を取り消しました"));
            }
        });
}
