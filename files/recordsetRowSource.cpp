#include "files/recordsetRowSource.h"

#include "data/recordset.h"

int RecordsetRowSource::FieldCount() const {
    return recordset_.FieldCount();
}

QString RecordsetRowSource::FieldName(int field) const {
    return recordset_.FieldName(field);
}

bool RecordsetRowSource::NextRow(QList<ExportCell> &row) {
    if (next_ >= recordset_.RecordCount()) {
        return false;
    }
    for (int field = 0; field < row.size(); ++field) {
        ExportCell &cell = row[field];
        cell.isNull = recordset_.CellIsNull(next_, field);
        cell.text = cell.isNull ? QString() : recordset_.CellText(next_, field).toString();
    }
    ++next_;
    return true;
}
