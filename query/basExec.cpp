#include "query/basExec.h"

#include "app/basGlobals.h"
#include "app/busyCursor.h"
#include "app/clsMsg.h"
#include "app/failure.h"
#include "editor/frmSQL.h"
#include "editor/queryEditor.h"
#include "query/basBatch.h"
#include "query/basRecordSet.h"

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
            if (!OpenRecordSet(batch, doc->RecordSet(), false)) {
                return;
            }
        }
        ran = true;
    });
    return handled && ran;
}
