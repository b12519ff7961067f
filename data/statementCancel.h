#pragma once

#include <sql.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "data/odbcHandle.h"

// Why a run of calls on a statement was stopped.
enum class CancelReason { None, TimedOut, Requested };

// Stops a statement's run (its execution and the fetch of its rows) from another thread: by its
// own clock when a time limit runs out, or when Request() is called. Both are the same cancel.
//
// One thread, the owner, makes every call on the statement, through Call(). A cancel sets a
// flag that the owner reads before and after each call: a call is never started once the run is
// cancelled, and a call during which it was cancelled ends the run whatever it returned. Only
// SQLCancel crosses threads, sent by this object's own thread and only while the owner is inside
// a call marked as interruptible; a mutex around that mark keeps the owner from leaving the call
// and starting another on the statement while SQLCancel runs. The cancel is sent again every
// 100 ms while the owner stays in the call, because a cancel that arrives before the driver or
// server has started the work is forgotten.
//
// What the drivers do with SQLCancel from another thread (read in their sources, then measured
// with unixODBC 2.3.11, whose default Threading=0 passes SQLCancel straight to the driver and
// marks the statement's cursor closed, so that after a cancel the owner may only free it):
// - SQLite3 ODBC driver 0.9998: SQLCancel interrupts the database (sqlite3_interrupt) and then
//   closes the cursor of the statement it is given, resetting its SQLite statement and freeing
//   its rows without any lock. Sent to the statement in use it races the owner: double frees,
//   a result cut short but ending in SQL_NO_DATA, "Function sequence error". SQLExecDirect (all
//   rows read there without StepAPI, the first one with StepAPI=1) and SQLFetch (StepAPI=1)
//   fail with "interrupted" when the interrupt reaches them. SQLGetData only reads rows in
//   memory.
// - MariaDB Connector/ODBC 3.1.15: SQLCancel tries the connection's lock. When it is taken (a
//   call is talking to the server: SQLExecDirect, SQLMoreResults) it opens a new connection
//   and sends KILL QUERY for this one's session, which ends the owner's call with "Query
//   execution was interrupted" (HY018) and leaves the session usable. When it is free (between
//   calls, and in SQLFetch and SQLGetData) it closes the cursor of the statement it is given,
//   without the lock: sent to the statement in use during SQLFetch it crashed a test program in
//   two runs of three. The driver reads the whole result in SQLExecDirect (3.1.15 ignores
//   NO_CACHE and FORWARDONLY), so its fetch walks rows in memory and is stopped by the flag
//   between calls.
// - psqlODBC 13: SQLCancel sends the server a cancel request while the statement it is given is
//   executing (SQLExecDirect, which reads the whole result unless UseDeclareFetch=1) and does
//   nothing otherwise, so it is safe in every call; given another statement of the connection
//   it does nothing at all. With UseDeclareFetch=1 the FETCH that SQLFetch sends for the next
//   block of rows is not reachable by SQLCancel; the driver applies its own query time-out to
//   each FETCH, so the statement's time-out attribute bounds such a FETCH.
// So SQLCancel reaches the statement in use only on psqlODBC, where that is proven safe. Every
// other driver gets it on a second, idle statement of the same connection: a driver whose
// cancel acts on the connection (the SQLite interrupt, MariaDB's KILL QUERY) stops whatever the
// connection runs, and a close of the idle statement's cursor frees nothing in use. A driver
// whose cancel acts only on the statement given is then stopped by the flag between calls and
// by its own query time-out, never by a cancel that could race the owner.
class StatementCancel {
public:
    // With a limit above zero the clock cancels the run when that much time has passed since
    // construction.
    explicit StatementCancel(std::chrono::milliseconds limit = std::chrono::milliseconds(0));
    ~StatementCancel();
    StatementCancel(const StatementCancel &) = delete;
    StatementCancel &operator=(const StatementCancel &) = delete;

    std::chrono::milliseconds limit() const { return limit_; }

    // Any thread: cancels the run now.
    void Request();
    // Any thread: whether, and why, the run was cancelled.
    CancelReason reason() const { return reason_.load(); }

    // Owner: the statement that the following calls use, on its connection. Sets up the handle
    // that SQLCancel is sent to, and frees it again in Detach (called by the destructor at the
    // latest); detach before the statement is freed.
    void Attach(SQLHDBC connection, SQLHSTMT statement);
    void Detach();

    // Owner: makes one call on the attached statement and returns its result. Throws the
    // cancel's failure instead when the run was cancelled before or during the call.
    enum class Call { Quick, Interruptible };
    template <typename F>
    SQLRETURN Run(Call kind, F &&call);

    // Owner: throws the cancel's failure when the run was cancelled or its time is up. A call
    // that failed after the time was up failed because of it (a driver's own time-out or the
    // clock's cancel), whatever words the driver chose.
    void ThrowIfCancelled();

private:
    void Watch(std::stop_token stop);
    void Enter();
    void Leave();
    void ThrowIfFlagged() const;

    const std::chrono::milliseconds limit_;
    const std::chrono::steady_clock::time_point deadline_;
    std::atomic<CancelReason> reason_{CancelReason::None};
    std::mutex mutex_;  // guards the fields below and every SQLCancel
    std::condition_variable_any wake_;
    OdbcHandle second_;  // the idle statement a cancel goes to, where the driver needs one
    SQLHSTMT target_ = SQL_NULL_HSTMT;
    bool interruptible_ = false;  // the owner is inside an interruptible call
    std::jthread thread_;
};

// The failure that ends a cancelled run: the time-out's own message, or the user's cancel.
DatabaseFailure CancelFailure(CancelReason reason);

template <typename F>
SQLRETURN StatementCancel::Run(Call kind, F &&call) {
    if (kind == Call::Quick) {
        // Between rows and pieces only the flag is read: this runs for every value fetched.
        if (reason_.load(std::memory_order_relaxed) != CancelReason::None) {
            ThrowIfFlagged();
        }
        return call();
    }
    Enter();
    const SQLRETURN rc = call();
    Leave();
    return rc;
}
