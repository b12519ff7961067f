#pragma once

#include <atomic>
#include <mutex>

class StatementCancel;

// The cancel of a whole run, all its statements: Request, from any thread, stops the statement
// that runs now and keeps every later one of the run from starting.
class CancelSwitch {
public:
    // Any thread.
    void Request();
    bool Requested() const { return requested_.load(); }

    // The run's own thread: the cancel of the statement about to run. A Request made before
    // Attach, or while attached, reaches it. Detach before that cancel is destroyed.
    void Attach(StatementCancel &cancel);
    void Detach();

private:
    std::atomic<bool> requested_{false};
    std::mutex mutex_;  // guards current_
    StatementCancel *current_ = nullptr;
};
