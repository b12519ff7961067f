#include "data/connectionWorker.h"

#include <QMetaObject>
#include <QtGlobal>

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "core/failure.h"

namespace {

using namespace std::chrono_literals;

// How long the destructor gives a cancelled job before leaving it behind.
constexpr auto kDestroyWait = 1s;

}  // namespace

// Everything the owner's thread and the job threads share; a thread left behind by Abandon keeps
// it alive until its job returns. Fields marked "mutex" are used under `mutex` only; fields
// marked "owner" only on the owner's thread. Reports cross from a job's thread to the owner's
// through the mailbox, under the mutex.
struct ConnectionWorker::State : std::enable_shared_from_this<State> {
    // One started job, as both sides see it.
    struct Run : JobContext, std::enable_shared_from_this<Run> {
        Run(std::shared_ptr<State> state, std::function<void()> done)
            : state(std::move(state)), done(std::move(done)) {}
        CancelSwitch &Cancel() override { return cancel; }
        void Post(std::function<void()> report) override;

        const std::shared_ptr<State> state;
        std::function<void()> done;  // owner
        CancelSwitch cancel;
        // Written by the owner under `mutex`; read by the job's thread under `mutex` and by the
        // owner without it.
        bool abandoned = false;
    };
    struct Queued {
        Job job;
        std::shared_ptr<Run> run;
    };
    // A report of `run`, or the end of its job when `finished`.
    struct Mail {
        std::shared_ptr<Run> run;
        std::function<void()> report;
        bool finished = false;
    };

    void Deliver(Mail mail);
    void Drain();
    void TellBusy();
    void EnsureThread();
    void Loop(unsigned generation);
    void AbandonCurrent();

    std::mutex mutex;
    // The queue, `current`, `generation` or `stopping` changed. The `_any` kind unlocks and locks
    // `mutex` in code built with the program, so ThreadSanitizer sees every hand-over through it
    // (std::condition_variable does that inside the C++ library, out of its sight).
    std::condition_variable_any changed;
    std::deque<Queued> queue;           // mutex
    std::shared_ptr<Run> current;       // mutex: the job the live thread runs now
    std::vector<Mail> mailbox;          // mutex
    ConnectionWorker *owner = nullptr;  // mutex: null once the worker is being destroyed
    unsigned generation = 0;            // mutex: a thread started for another number has retired
    bool stopping = false;              // mutex: the live thread ends instead of waiting
    std::thread thread;                 // owner: the live thread, once started
    int outstanding = 0;                // owner: jobs started whose end was not handled yet
    bool saidBusy = false;              // owner: what busyChanged said last
};

void ConnectionWorker::State::Run::Post(std::function<void()> report) {
    std::lock_guard lock(state->mutex);
    if (abandoned || state->owner == nullptr) {
        return;
    }
    state->Deliver(Mail{shared_from_this(), std::move(report)});
}

// Under `mutex`. Only the first mail into an empty mailbox wakes the owner: one wake-up drains
// everything delivered until it runs.
void ConnectionWorker::State::Deliver(Mail mail) {
    const bool wake = mailbox.empty();
    mailbox.push_back(std::move(mail));
    if (wake) {
        // Queued on the owner's thread by name, carrying no data of ours; dropped by Qt if the
        // owner is destroyed first.
        QMetaObject::invokeMethod(owner, "drainMailbox", Qt::QueuedConnection);
    }
}

// Owner. A report may call Abandon or Start; the abandoned flag is read again for each mail.
void ConnectionWorker::State::Drain() {
    std::vector<Mail> mails;
    {
        std::lock_guard lock(mutex);
        mails.swap(mailbox);
    }
    for (Mail &mail : mails) {
        if (mail.run->abandoned) {
            continue;
        }
        if (!mail.finished) {
            mail.report();
            continue;
        }
        --outstanding;
        if (mail.run->done) {
            mail.run->done();
        }
        TellBusy();
    }
}

void ConnectionWorker::State::TellBusy() {
    const bool busy = outstanding > 0;
    if (busy != saidBusy && owner != nullptr) {
        saidBusy = busy;
        emit owner->busyChanged(busy);
    }
}

// Under `mutex`.
void ConnectionWorker::State::EnsureThread() {
    if (thread.joinable()) {
        return;
    }
    thread = std::thread([self = shared_from_this(), number = generation] { self->Loop(number); });
}

void ConnectionWorker::State::Loop(unsigned number) {
    std::unique_lock lock(mutex);
    for (;;) {
        changed.wait(lock, [&] { return generation != number || stopping || !queue.empty(); });
        if (generation != number || queue.empty()) {
            return;  // retired, or stopping with nothing left
        }
        Queued next = std::move(queue.front());
        queue.pop_front();
        current = next.run;
        lock.unlock();
        try {
            next.job(*next.run);
        } catch (const Failure &failure) {
            // Jobs report their own failures; one that escapes ends the job like a return.
            qWarning("ConnectionWorker: a job ended with a failure: %s",
                     qUtf8Printable(failure.description));
        } catch (const std::exception &error) {
            qWarning("ConnectionWorker: a job ended with an exception: %s", error.what());
        } catch (...) {
            qWarning("ConnectionWorker: a job ended with an unknown exception");
        }
        next.job = nullptr;  // what the job holds is released on its own thread
        lock.lock();
        if (next.run->abandoned) {
            return;  // Abandon has started another thread for the queue, if needed
        }
        current.reset();
        if (owner != nullptr) {
            Deliver(Mail{next.run, {}, true});
        }
        changed.notify_all();
    }
}

// Owner, under `mutex`: leaves the running job, if any, to its thread and retires that thread.
void ConnectionWorker::State::AbandonCurrent() {
    if (!current) {
        return;
    }
    current->abandoned = true;
    current->cancel.Request();
    current.reset();
    ++generation;
    thread.detach();
    --outstanding;
    // Its reports that wait in the mailbox are skipped by Drain through the flag.
    changed.notify_all();
}

ConnectionWorker::ConnectionWorker(QObject *parent)
    : QObject(parent), state_(std::make_shared<State>()) {
    state_->owner = this;
}

ConnectionWorker::~ConnectionWorker() {
    State &state = *state_;
    {
        std::lock_guard lock(state.mutex);
        // Jobs that have not started would run for an owner that is gone: they are dropped.
        state.queue.clear();
        state.owner = nullptr;
        state.mailbox.clear();
    }
    Cancel();
    WaitIdle(kDestroyWait);
    std::unique_lock lock(state.mutex);
    state.AbandonCurrent();
    state.stopping = true;
    state.changed.notify_all();
    lock.unlock();
    if (state.thread.joinable()) {
        state.thread.join();  // idle: it returns at once
    }
}

void ConnectionWorker::drainMailbox() {
    state_->Drain();
}

void ConnectionWorker::Start(Job job, std::function<void()> done) {
    State &state = *state_;
    {
        std::lock_guard lock(state.mutex);
        state.queue.push_back(
            {std::move(job), std::make_shared<State::Run>(state_, std::move(done))});
        state.EnsureThread();
    }
    state.changed.notify_all();
    ++state.outstanding;
    state.TellBusy();
}

bool ConnectionWorker::Busy() const {
    return state_->outstanding > 0;
}

void ConnectionWorker::Cancel() {
    std::shared_ptr<State::Run> running;
    {
        std::lock_guard lock(state_->mutex);
        running = state_->current;
    }
    if (running) {
        running->cancel.Request();
    }
}

bool ConnectionWorker::WaitIdle(std::chrono::milliseconds limit) {
    State &state = *state_;
    std::unique_lock lock(state.mutex);
    return state.changed.wait_for(lock, limit,
                                  [&] { return !state.current && state.queue.empty(); });
}

void ConnectionWorker::Abandon() {
    State &state = *state_;
    {
        std::lock_guard lock(state.mutex);
        state.AbandonCurrent();
        if (!state.queue.empty()) {
            state.EnsureThread();
        }
    }
    state.TellBusy();
}
