#include "app/basExec.h"

#include "app/basGlobals.h"
#include "core/clsMsg.h"
#include "core/failure.h"
#include "data/basRecordSet.h"
#include "engines/basBatch.h"
#include "ui/busyCursor.h"
#include "ui/frmSQL.h"
#include "ui/queryEditor.h"

QString TextToRun(const frmSQL &doc) {
    const QueryEditor *editor = doc.txtQry();
    return editor->SelLength() > 0 ? editor->SelText() : editor->Text();
}

std::optional<QString> TakeTextToRun(frmSQL &doc) {
    if (gConnection.State() == 0) {
        clsMsg().ShowMessage(QStringLiteral("データベースに接続されていません。"));
        return std::nullopt;
    }
    return TextToRun(doc);
}

bool ExecBatches(frmSQL *doc) {
    if (!doc) {
        return false;
    }
    const std::optional<QString> text = TakeTextToRun(*doc);
    if (!text) {
        return false;
    }
    bool ran = false;
    const bool handled = ReportFailure([&] {
        const QStringList batches = SplitBatches(*text);
        BusyCursor busy;
        for (const QString &batch : batches) {
            if (!OpenRecordSet(gConnection, gCommand, batch, doc->RecordSet(), false)) {
                return;
            }
        }
        ran = true;
    });
    return handled && ran;
}
