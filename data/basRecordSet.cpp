#include "data/basRecordSet.h"

#include "core/clsMsg.h"
#include "data/command.h"
#include "data/connection.h"
#include "data/recordset.h"

bool OpenRecordSet(Connection &connection, Command &command, const QString &batchText,
                   Recordset &rs, bool retry) {
    try {
        CloseRecordSet(connection, rs);
        if (batchText.isEmpty()) {
            return true;
        }
        command.setActiveConnection(&connection);
        command.setCommandText(batchText);
        rs.setCursorLocation(3);
        rs.setCursorType(1);
        rs.setLockType(3);
        rs.Open(command);
        return true;
    } catch (const Failure &failure) {
        if (failure.number == FailureNumber::ObjectOpen && !retry) {
            rs.CancelUpdate();
            return OpenRecordSet(connection, command, batchText, rs, true);
        }
        clsMsg().ShowError(failure.description);
        return false;
    }
}

void CloseRecordSet(Connection &connection, Recordset &rs) {
    IgnoreFailure([&] { connection.CommitTrans(); });
    IgnoreFailure([&] { rs.Close(); });
}
