#pragma once

#include <sql.h>

#include <string>
#include <vector>

class CellStore;
class OdbcHandle;
class StatementCancel;

// Reads one value of a statement's current row with SQLGetData, whole however long it is, into
// a cell store: as wide text, as UTF-8 bytes decoded here, or as bytes shown in hex. Each call
// goes through the run's cancel. Keeps its buffers from one value to the next, except a long
// value's.
class ValueReader {
public:
    ValueReader(OdbcHandle &statement, StatementCancel &cancel);
    ValueReader(const ValueReader &) = delete;
    ValueReader &operator=(const ValueReader &) = delete;

    void ReadWide(SQLUSMALLINT column, CellStore &cells);
    void ReadUtf8(SQLUSMALLINT column, CellStore &cells);
    void ReadBytes(SQLUSMALLINT column, CellStore &cells);

private:
    SQLRETURN GetData(SQLUSMALLINT column, SQLSMALLINT type, SQLPOINTER buffer, SQLLEN size,
                      SQLLEN &indicator);

    OdbcHandle &statement_;
    StatementCancel &cancel_;
    std::vector<SQLWCHAR> piece_;
    std::vector<SQLWCHAR> whole_;  // the rest of a long value whose length the driver told
    std::vector<char> bytes_;
    std::string utf8Whole_;  // a UTF-8 value read in pieces
};
