#pragma once

#include <QString>

class Recordset;

// Moves a result as a key of the result toolbar says: "START", "DBL_BACK", "SGL_BACK",
// "SGL_NEXT", "DBL_NEXT" or "END" (any other key does nothing). The ten-row moves are ten single
// moves that go on after reaching either end; every failing move is ignored silently.
void NavigateRecordset(Recordset &recordset, const QString &key);
