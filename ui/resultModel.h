#pragma once

#include <QAbstractTableModel>
#include <QPointer>

class Recordset;

// The grid's view of a recordset: every row, the field names as column headers, read-only.
// NULL shows as the word NULL in a grey text, apart from an empty text; NullRole (and
// Qt::UserRole's invalid value) tells it from a value that reads "NULL". Follows the recordset:
// opening or closing it resets the model, and rows appended while it is fetched are inserted.
class ResultModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // True for a NULL cell.
    static constexpr int NullRole = Qt::UserRole + 1;

    explicit ResultModel(QObject *parent = nullptr);

    // Shows the recordset (or nothing); the model does not own it.
    void setRecordset(Recordset *recordset);
    Recordset *recordset() const { return recordset_; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    // DisplayRole: the text, kNullCellText for NULL. Qt::ForegroundRole: the palette's
    // placeholder text colour for NULL, the view's own colour otherwise. Qt::UserRole: the text,
    // or an invalid QVariant for NULL. NullRole: whether the cell is NULL.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    bool showing() const;

    QPointer<Recordset> recordset_;
    bool resetting_ = false;
    bool inserting_ = false;
};
