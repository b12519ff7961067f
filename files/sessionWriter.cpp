#include "files/sessionWriter.h"

#include "core/failure.h"
#include "files/sessionStore.h"

SessionWriter::SessionWriter(std::function<void(const Failure &)> onFailure)
    : onFailure_(std::move(onFailure)), thread_([this] { run(); }) {}

SessionWriter::~SessionWriter() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void SessionWriter::Submit(const QString &path, std::function<QByteArray()> produce) {
    {
        const std::lock_guard lock(mutex_);
        pending_[path] = std::move(produce);
    }
    wake_.notify_one();
}

void SessionWriter::Flush() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return pending_.empty() && !busy_; });
}

int SessionWriter::Writes() const {
    const std::lock_guard lock(mutex_);
    return writes_;
}

int SessionWriter::Failures() const {
    const std::lock_guard lock(mutex_);
    return failures_;
}

void SessionWriter::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
        if (pending_.empty()) {
            return;  // stopping, with everything written
        }
        auto job = pending_.extract(pending_.begin());
        busy_ = true;
        lock.unlock();
        bool written = false;
        try {
            WriteFileDurably(job.key(), job.mapped()());
            written = true;
        } catch (const Failure &failure) {
            if (onFailure_) {
                onFailure_(failure);
            }
        }
        lock.lock();
        busy_ = false;
        ++(written ? writes_ : failures_);
        if (pending_.empty()) {
            idle_.notify_all();
        }
    }
}
