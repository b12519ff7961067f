#include "data/recordset.h"

#include <new>

#include "data/command.h"
#include "data/connection.h"
#include "data/layerFailure.h"
#include "data/resultFetch.h"
#include "data/statementCancel.h"

namespace {
constexpr int kDefaultTimeoutSeconds = 30;
}

Recordset::Recordset(QObject *parent) : QObject(parent) {}

Recordset::~Recordset() {
    // Views over the rows learn that they go.
    if (result_) {
        emit aboutToChange();
        result_.reset();
        fetching_ = false;
        emit closed();
    }
}

void Recordset::setCursorLocation(int location) {
    if (result_) {
        throw MakeLayerFailure(LayerFailureNumber::ObjectOpen);
    }
    if (location < 1 || location > 3) {
        throw MakeLayerFailure(LayerFailureNumber::InvalidArgument);
    }
    cursorLocation_ = location;
}

void Recordset::setCursorType(int type) {
    if (result_) {
        throw MakeLayerFailure(LayerFailureNumber::ObjectOpen);
    }
    if (type < -1 || type > 3) {
        throw MakeLayerFailure(LayerFailureNumber::InvalidArgument);
    }
    cursorType_ = type;
}

void Recordset::setLockType(int type) {
    if (result_) {
        throw MakeLayerFailure(LayerFailureNumber::ObjectOpen);
    }
    if (type < -1 || type > 4) {
        throw MakeLayerFailure(LayerFailureNumber::InvalidArgument);
    }
    lockType_ = type;
}

void Recordset::Open(Command &command) {
    if (result_) {
        throw MakeLayerFailure(LayerFailureNumber::ObjectOpen);
    }
    Connection *connection = command.ActiveConnection();
    if (!connection || connection->State() == Connection::StateClosed) {
        throw MakeLayerFailure(LayerFailureNumber::NoConnection);
    }
    OpenOn(*connection, command.CommandText(), command.CommandTimeout());
}

void Recordset::Open(const QString &sql, Connection &connection) {
    if (result_) {
        throw MakeLayerFailure(LayerFailureNumber::ObjectOpen);
    }
    if (connection.State() == Connection::StateClosed) {
        throw MakeLayerFailure(LayerFailureNumber::NoConnection);
    }
    OpenOn(connection, sql, kDefaultTimeoutSeconds);
}

void Recordset::OpenOn(Connection &connection, const QString &text, int timeoutSeconds) {
    std::optional<FetchedResult> fetched;
    try {
        StatementCancel cancel{std::chrono::seconds(timeoutSeconds)};
        fetched = RunAndFetchFirstResult(connection.handle(), text, cancel);
    } catch (const std::bad_alloc &) {
        throw MakeFailure(FailureNumber::OutOfMemory);
    }
    if (!fetched) {
        return;
    }
    emit aboutToChange();
    result_ = std::make_unique<FetchedResult>(std::move(*fetched));
    position_ = 0;
    emit opened();
    emit currentRowChanged(AbsolutePosition());
}

void Recordset::OpenStreaming(const QStringList &names, const QList<int> &types) {
    if (result_) {
        throw MakeLayerFailure(LayerFailureNumber::ObjectOpen);
    }
    if (names.size() != types.size()) {
        throw MakeLayerFailure(LayerFailureNumber::InvalidArgument);
    }
    auto result = std::make_unique<FetchedResult>();
    result->names = names;
    result->types = types;
    result->rows = ResultRows(int(names.size()));
    emit aboutToChange();
    result_ = std::move(result);
    position_ = 0;  // the first row once there is one; BOF and EOF until then
    fetching_ = true;
    emit opened();
}

void Recordset::AppendRows(CellStore rows) {
    if (!fetching_) {
        return;
    }
    if (rows.columnCount() != result_->rows.columnCount()) {
        throw MakeLayerFailure(LayerFailureNumber::InvalidArgument);
    }
    const qsizetype first = RecordCount();
    const qsizetype added = rows.rowCount();
    if (added == 0) {
        return;
    }
    // A recordset moved past its last row stays at EOF rather than landing on a new row.
    const bool atEof = first > 0 && position_ >= first;
    emit rowsAboutToBeAppended(first, first + added - 1);
    result_->rows.append(std::move(rows));
    if (atEof) {
        position_ = RecordCount();
    }
    emit rowsAppended();
    if (first == 0 && position_ == 0) {
        emit currentRowChanged(0);
    }
}

void Recordset::EndStreaming() {
    if (!fetching_) {
        return;
    }
    fetching_ = false;
    emit fetchFinished();
}

std::unique_ptr<FetchedResult> Recordset::TakeResult() {
    if (!result_) {
        return nullptr;
    }
    if (!edits_.empty()) {
        throw MakeLayerFailure(LayerFailureNumber::NotInContext);
    }
    emit aboutToChange();
    std::unique_ptr<FetchedResult> taken = std::move(result_);
    position_ = -1;
    fetching_ = false;
    emit closed();
    emit currentRowChanged(-1);
    return taken;
}

void Recordset::Close() {
    requireOpen();
    TakeResult();  // the rows taken are dropped here
}

void Recordset::setValue(int field, const QString &text) {
    requireField(field);
    requireCurrentRow();
    edits_[field] = text;
}

void Recordset::CancelUpdate() {
    edits_.clear();
}

void Recordset::requireOpen() const {
    if (!result_) {
        throw MakeLayerFailure(LayerFailureNumber::ObjectClosed);
    }
}

void Recordset::requireField(int field) const {
    requireOpen();
    if (field < 0 || field >= result_->names.size()) {
        throw MakeLayerFailure(LayerFailureNumber::InvalidArgument);
    }
}

void Recordset::requireCurrentRow() const {
    requireOpen();
    if (position_ < 0 || position_ >= result_->rows.rowCount()) {
        throw MakeLayerFailure(LayerFailureNumber::NoCurrentRecord);
    }
}

bool Recordset::Bof() const {
    return result_ && (result_->rows.rowCount() == 0 || position_ < 0);
}

bool Recordset::Eof() const {
    return result_ && (result_->rows.rowCount() == 0 || position_ >= result_->rows.rowCount());
}

void Recordset::moveTo(qsizetype position) {
    if (!edits_.empty()) {
        throw MakeLayerFailure(LayerFailureNumber::NotInContext);
    }
    if (position != position_) {
        position_ = position;
        emit currentRowChanged(AbsolutePosition());
    }
}

void Recordset::MoveFirst() {
    requireOpen();
    if (RecordCount() == 0) {
        throw MakeLayerFailure(LayerFailureNumber::NoCurrentRecord);
    }
    moveTo(0);
}

void Recordset::MoveLast() {
    requireOpen();
    if (RecordCount() == 0) {
        throw MakeLayerFailure(LayerFailureNumber::NoCurrentRecord);
    }
    moveTo(RecordCount() - 1);
}

void Recordset::MoveNext() {
    requireOpen();
    if (Eof()) {
        throw MakeLayerFailure(LayerFailureNumber::NoCurrentRecord);
    }
    moveTo(position_ + 1);
}

void Recordset::MovePrevious() {
    requireOpen();
    if (Bof()) {
        throw MakeLayerFailure(LayerFailureNumber::NoCurrentRecord);
    }
    moveTo(position_ - 1);
}

int Recordset::FieldCount() const {
    requireOpen();
    return int(result_->names.size());
}

QString Recordset::FieldName(int field) const {
    requireField(field);
    return result_->names.at(field);
}

int Recordset::FieldType(int field) const {
    requireField(field);
    return result_->types.at(field);
}

bool Recordset::IsNull(int field) const {
    requireField(field);
    requireCurrentRow();
    if (edits_.count(field)) {
        return false;
    }
    return result_->rows.isNull(position_, field);
}

QString Recordset::Value(int field) const {
    requireField(field);
    requireCurrentRow();
    if (const auto edit = edits_.find(field); edit != edits_.end()) {
        return edit->second;
    }
    return result_->rows.text(position_, field).toString();
}

qsizetype Recordset::RecordCount() const {
    requireOpen();
    return result_->rows.rowCount();
}

qsizetype Recordset::AbsolutePosition() const {
    if (!result_ || Bof() || Eof()) {
        return -1;
    }
    return position_;
}

void Recordset::setAbsolutePosition(qsizetype row) {
    requireOpen();
    if (row < 0 || row >= RecordCount()) {
        throw MakeLayerFailure(LayerFailureNumber::InvalidArgument);
    }
    moveTo(row);
}

QStringView Recordset::CellText(qsizetype row, int field) const {
    requireField(field);
    if (row < 0 || row >= result_->rows.rowCount()) {
        throw MakeLayerFailure(LayerFailureNumber::InvalidArgument);
    }
    return result_->rows.text(row, field);
}

bool Recordset::CellIsNull(qsizetype row, int field) const {
    requireField(field);
    if (row < 0 || row >= result_->rows.rowCount()) {
        throw MakeLayerFailure(LayerFailureNumber::InvalidArgument);
    }
    return result_->rows.isNull(row, field);
}
