#include "files/recordsetRowSource.h"

#include "data/recordset.h"
#include "data/resultFetch.h"

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

ResultRowSource::ResultRowSource(std::unique_ptr<FetchedResult> result)
    : result_(std::move(result)) {}

ResultRowSource::~ResultRowSource() = default;

int ResultRowSource::FieldCount() const {
    return int(result_->names.size());
}

QString ResultRowSource::FieldName(int field) const {
    return result_->names.at(field);
}

qsizetype ResultRowSource::RowCount() const {
    return result_->rows.rowCount();
}

bool ResultRowSource::NextRow(QList<ExportCell> &row) {
    if (next_ >= result_->rows.rowCount()) {
        return false;
    }
    for (int field = 0; field < row.size(); ++field) {
        ExportCell &cell = row[field];
        cell.isNull = result_->rows.isNull(next_, field);
        cell.text = cell.isNull ? QString() : result_->rows.text(next_, field).toString();
    }
    ++next_;
    return true;
}
