#pragma once

#include <memory>

#include "files/xlsxExport.h"

class Recordset;
struct FetchedResult;

// Exports the rows of a recordset, from its first row to its last, without moving its
// current row. A closed recordset fails (3704) on the first question, before any file exists.
class RecordsetRowSource : public RowSource {
public:
    explicit RecordsetRowSource(const Recordset &recordset) : recordset_(recordset) {}

    int FieldCount() const override;
    QString FieldName(int field) const override;
    bool NextRow(QList<ExportCell> &row) override;

private:
    const Recordset &recordset_;
    qsizetype next_ = 0;
};

// Exports a result taken from its recordset (Recordset::TakeResult), which the source owns; it
// may be read on any one thread.
class ResultRowSource : public RowSource {
public:
    explicit ResultRowSource(std::unique_ptr<FetchedResult> result);
    ~ResultRowSource() override;

    int FieldCount() const override;
    QString FieldName(int field) const override;
    bool NextRow(QList<ExportCell> &row) override;
    qsizetype RowCount() const;

private:
    std::unique_ptr<FetchedResult> result_;
    qsizetype next_ = 0;
};
