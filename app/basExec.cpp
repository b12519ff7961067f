#include "app/basExec.h"

#include "app/basGlobals.h"
#include "core/clsMsg.h"
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
