#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

// A workbook as an independent reader (openpyxl, run by tests/files/readXlsx.py) sees it.
struct ReadBack {
    QStringList sheets;
    QJsonArray columns;  // {min, max, format} per column entry
    QJsonArray rows;     // per row, per cell: {value, type, format}

    QJsonObject cell(int row, int column) const {
        return rows.at(row).toArray().at(column).toObject();
    }
    QJsonValue value(int row, int column) const { return cell(row, column).value("value"); }
};

// Reads the workbook at `path`; a reader failure fails the running test.
ReadBack ReadXlsx(const QString &path);
