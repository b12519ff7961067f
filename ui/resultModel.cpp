#include "ui/resultModel.h"

#include <QGuiApplication>
#include <QPalette>

#include <limits>

#include "data/recordset.h"
#include "data/widestCells.h"

ResultModel::ResultModel(QObject *parent) : QAbstractTableModel(parent) {}

void ResultModel::setRecordset(Recordset *recordset) {
    beginResetModel();
    if (recordset_) {
        disconnect(recordset_, nullptr, this, nullptr);
    }
    recordset_ = recordset;
    if (recordset_) {
        auto begin = [this] {
            if (!resetting_) {
                resetting_ = true;
                beginResetModel();
            }
        };
        auto end = [this] {
            if (resetting_) {
                resetting_ = false;
                endResetModel();
            }
        };
        connect(recordset_, &Recordset::aboutToChange, this, begin);
        connect(recordset_, &Recordset::opened, this, end);
        connect(recordset_, &Recordset::closed, this, end);
        // Rows that arrive while the result is fetched are inserted at the end; the view
        // counts rows in int, so rows past that are never shown.
        connect(recordset_, &Recordset::rowsAboutToBeAppended, this,
                [this](qsizetype first, qsizetype last) {
                    constexpr qsizetype kMost = std::numeric_limits<int>::max() - 1;
                    if (!resetting_ && first <= kMost) {
                        inserting_ = true;
                        beginInsertRows({}, int(first), int(std::min(last, kMost)));
                    }
                });
        connect(recordset_, &Recordset::rowsAppended, this, [this] {
            if (inserting_) {
                inserting_ = false;
                endInsertRows();
            }
        });
        // A recordset that goes away takes its rows with it.
        connect(recordset_, &QObject::destroyed, this, [this, begin, end] {
            begin();
            end();
        });
    }
    endResetModel();
}

bool ResultModel::showing() const {
    return recordset_ && recordset_->State() == Recordset::StateOpen;
}

int ResultModel::rowCount(const QModelIndex &parent) const {
    if (parent.isValid() || !showing()) {
        return 0;
    }
    // A view counts rows in int; a result beyond that shows its first 2^31-1 rows.
    return int(std::min<qsizetype>(recordset_->RecordCount(), std::numeric_limits<int>::max()));
}

int ResultModel::columnCount(const QModelIndex &parent) const {
    if (parent.isValid() || !showing()) {
        return 0;
    }
    return recordset_->FieldCount();
}

QVariant ResultModel::data(const QModelIndex &index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || !showing()) {
        return {};
    }
    const bool null = recordset_->CellIsNull(index.row(), index.column());
    switch (role) {
        case Qt::DisplayRole:
            return null ? kNullCellText.toString()
                        : recordset_->CellText(index.row(), index.column()).toString();
        case Qt::ForegroundRole:
            // The grey that the style uses for text that is not a value of its own.
            return null ? QVariant(QGuiApplication::palette().brush(QPalette::PlaceholderText))
                        : QVariant();
        case Qt::UserRole:
            return null ? QVariant()
                        : QVariant(recordset_->CellText(index.row(), index.column()).toString());
        case NullRole:
            return null;
        default:
            return {};
    }
}

QVariant ResultModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || !showing()) {
        return {};
    }
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= recordset_->FieldCount()) {
            return {};
        }
        return recordset_->FieldName(section);
    }
    if (section < 0 || section >= rowCount()) {
        return {};
    }
    return section + 1;
}

Qt::ItemFlags ResultModel::flags(const QModelIndex &index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
