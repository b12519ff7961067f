#include "query/basRecordSet.h"

#include "app/basGlobals.h"
#include "app/clsMsg.h"
#include "data/recordset.h"

bool OpenRecordSet(QString batchText, Recordset &rs, bool retry) {
    try {
        CloseRecordSet(rs);
        if (batchText.isEmpty()) {
            return true;
        }
        gCommand.setActiveConnection(&gConnection);
        gCommand.setCommandText(batchText);
        rs.setCursorLocation(3);
        rs.setCursorType(1);
        rs.setLockType(3);
        rs.Open(gCommand);
        return true;
    } catch (const Failure &failure) {
        if (failure.number == FailureNumber::ObjectOpen && !retry) {
            rs.CancelUpdate();
            return OpenRecordSet(batchText, rs, true);
        }
        clsMsg().ShowError(failure.description);
        return false;
    }
}

void CloseRecordSet(Recordset &rs) {
    IgnoreFailure([] { gConnection.CommitTrans(); });
    IgnoreFailure([&] { rs.Close(); });
}
