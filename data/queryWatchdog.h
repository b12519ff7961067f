#pragma once

#include <sql.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// Cancels a running statement from a second thread when its time is up, for drivers that do
// not keep the statement's query time-out themselves. Destroy it before the statement handle:
// the destructor stops the thread, so SQLCancel never reaches a freed handle.
class QueryWatchdog {
public:
    QueryWatchdog(SQLHSTMT statement, std::chrono::milliseconds limit);
    ~QueryWatchdog();
    QueryWatchdog(const QueryWatchdog &) = delete;
    QueryWatchdog &operator=(const QueryWatchdog &) = delete;

    // True once the time ran out and the statement was cancelled.
    bool fired() const { return fired_.load(); }

private:
    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::atomic<bool> fired_{false};
    std::jthread thread_;
};
