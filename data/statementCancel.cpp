#include "data/statementCancel.h"

#include <sqlext.h>

#include "data/driverName.h"

namespace {

using namespace std::chrono_literals;

// How often a cancel is sent again while the owner stays in the call.
constexpr auto kResend = 100ms;

}  // namespace

StatementCancel::StatementCancel(std::chrono::milliseconds limit)
    : limit_(limit),
      deadline_(std::chrono::steady_clock::now() + limit),
      thread_([this](std::stop_token stop) { Watch(stop); }) {}

StatementCancel::~StatementCancel() {
    thread_.request_stop();
    thread_.join();
    Detach();
}

void StatementCancel::Watch(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    const auto cancelled = [this] { return reason_.load() != CancelReason::None; };
    if (limit_ > 0ms) {
        if (!wake_.wait_until(lock, stop, deadline_, cancelled) && !stop.stop_requested()) {
            reason_ = CancelReason::TimedOut;
        }
    } else {
        wake_.wait(lock, stop, cancelled);
    }
    while (!stop.stop_requested()) {
        if (interruptible_ && target_ != SQL_NULL_HSTMT) {
            SQLCancel(target_);
        }
        wake_.wait_for(lock, stop, kResend, [] { return false; });
    }
}

void StatementCancel::Request() {
    {
        std::lock_guard lock(mutex_);
        if (reason_.load() == CancelReason::None) {
            reason_ = CancelReason::Requested;
        }
    }
    wake_.notify_all();
}

void StatementCancel::Attach(SQLHDBC connection, SQLHSTMT statement) {
    OdbcHandle second;
    // psqlODBC's SQLCancel is safe on the statement in use from another thread: it sends the
    // server a cancel request while that statement executes and does nothing otherwise. Its
    // cancel acts on the statement it is given alone, so it must be that one.
    if (!IsPsqlOdbc(connection)) {
        second = OdbcHandle(SQL_HANDLE_STMT, connection);
    }
    std::lock_guard lock(mutex_);
    second_ = std::move(second);
    target_ = second_ ? second_.get() : statement;
}

void StatementCancel::Detach() {
    std::lock_guard lock(mutex_);
    target_ = SQL_NULL_HSTMT;
    interruptible_ = false;
    second_.reset();
}

// Around each call only the flag is read, not the clock: this runs for every row fetched, and
// the watching thread raises the flag when the time is up.
void StatementCancel::Enter() {
    std::lock_guard lock(mutex_);
    ThrowIfFlagged();
    interruptible_ = true;
}

void StatementCancel::Leave() {
    {
        // Waits for a SQLCancel under way before the owner may make its next call.
        std::lock_guard lock(mutex_);
        interruptible_ = false;
    }
    ThrowIfFlagged();
}

void StatementCancel::ThrowIfFlagged() const {
    const CancelReason why = reason_.load();
    if (why != CancelReason::None) {
        throw CancelFailure(why);
    }
}

void StatementCancel::ThrowIfCancelled() {
    if (limit_ > 0ms && std::chrono::steady_clock::now() >= deadline_) {
        CancelReason none = CancelReason::None;
        reason_.compare_exchange_strong(none, CancelReason::TimedOut);
    }
    ThrowIfFlagged();
}

DatabaseFailure CancelFailure(CancelReason reason) {
    DatabaseFailure failure;
    if (reason == CancelReason::TimedOut) {
        failure.number = DatabaseFailureNumber::Timeout;
        failure.description = QStringLiteral("クエリがタイムアウトしました。");
        failure.sqlStates = QStringList{QStringLiteral("HYT00")};
    } else {
        failure.number = DatabaseFailureNumber::Cancelled;
        failure.description = QStringLiteral("クエリの実行を取り消しました。");
        failure.sqlStates = QStringList{QStringLiteral("HY008")};
    }
    return failure;
}
