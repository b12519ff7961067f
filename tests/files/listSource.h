#pragma once

#include <QList>
#include <QStringList>

#include "files/xlsxExport.h"

// Rows held in memory for the export's tests.
using Row = QList<ExportCell>;

inline ExportCell Text(const QString &text) {
    return ExportCell{text, false};
}
inline ExportCell Null() {
    return ExportCell{QString(), true};
}

// Rows held in memory; fails when asked for row `failAt`.
class ListSource : public RowSource {
public:
    ListSource(QStringList names, QList<Row> rows) : names_(names), rows_(rows) {}
    int FieldCount() const override { return static_cast<int>(names_.size()); }
    QString FieldName(int field) const override { return names_[field]; }
    bool NextRow(Row &row) override {
        if (next_ == failAt) {
            throw Failure{FailureNumber::General, QStringLiteral("読み取りに失敗しました。")};
        }
        if (next_ >= rows_.size()) {
            return false;
        }
        row = rows_[next_++];
        return true;
    }
    qsizetype failAt = -1;

private:
    QStringList names_;
    QList<Row> rows_;
    qsizetype next_ = 0;
};

// Rows "r<i>" in one column "n".
inline ListSource NumberedRows(int count) {
    QList<Row> rows;
    for (int i = 1; i <= count; ++i) {
        rows.append(Row{Text(QStringLiteral("r%1").arg(i))});
    }
    return ListSource({QStringLiteral("n")}, rows);
}
