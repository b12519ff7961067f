#pragma once

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

struct Failure;

// Writes files on a thread of its own, so that encoding and flushing a large session to the disk
// never holds up the user-interface thread. A job that has not started yet is replaced by a newer
// job for the same file: only the latest state is written.
class SessionWriter {
public:
    // onFailure (if given) is called on the writer's thread with each failed write.
    explicit SessionWriter(std::function<void(const Failure &)> onFailure = {});
    // Writes what is still pending, then ends the thread.
    ~SessionWriter();
    SessionWriter(const SessionWriter &) = delete;
    SessionWriter &operator=(const SessionWriter &) = delete;

    // Queues the file: `produce` runs on the writer's thread and gives the bytes, which are
    // written with WriteFileDurably. A failure goes to onFailure and the next job still runs.
    void Submit(const QString &path, std::function<QByteArray()> produce);
    // Waits until every job submitted so far is written.
    void Flush();
    // Files written since the writer was made, and failed writes.
    int Writes() const;
    int Failures() const;

private:
    void run();

    mutable std::mutex mutex_;
    // The `_any` kind unlocks and locks the mutex in code built with the program, where
    // ThreadSanitizer sees the hand-over (std::condition_variable does it out of its sight).
    std::condition_variable_any wake_;
    std::condition_variable_any idle_;
    std::map<QString, std::function<QByteArray()>> pending_;
    bool busy_ = false;
    bool stopping_ = false;
    int writes_ = 0;
    int failures_ = 0;
    std::function<void(const Failure &)> onFailure_;
    std::thread thread_;
};
