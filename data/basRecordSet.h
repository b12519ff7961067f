#pragma once

#include <QString>

class Command;
class Connection;
class Recordset;

// Runs one batch through `command` on `connection` into the recordset, after closing its
// previous result. An empty batch sends nothing and leaves the recordset closed. A recordset
// that would not close (an edit pending) has its edit cancelled and the batch is tried once
// more. Any other failure is shown with ShowError; the result is false.
bool OpenRecordSet(Connection &connection, Command &command, const QString &batchText,
                   Recordset &rs, bool retry);

// Ends the connection's own transaction (normally none) and closes the recordset, ignoring
// every failure.
void CloseRecordSet(Connection &connection, Recordset &rs);
