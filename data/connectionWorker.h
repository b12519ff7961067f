#pragma once

#include <QObject>

#include <chrono>
#include <functional>
#include <memory>

#include "data/cancelSwitch.h"

// What a job sees of the worker while it runs.
class JobContext {
public:
    virtual ~JobContext() = default;
    // The job's cancel: the user's Cancel, or the worker giving up on it.
    virtual CancelSwitch &Cancel() = 0;
    // Runs `report` soon on the thread that owns the worker, in the order posted. Reports of a
    // job that the worker abandoned are dropped.
    virtual void Post(std::function<void()> report) = 0;
};

// One thread that makes the program's ODBC calls, one job at a time and in the order they were
// started, so that the user-interface thread never waits for a driver: it starts jobs, receives
// their reports and paints.
class ConnectionWorker : public QObject {
    Q_OBJECT

public:
    using Job = std::function<void(JobContext &)>;

    explicit ConnectionWorker(QObject *parent = nullptr);
    // Drops the jobs not started yet, cancels what runs, waits for it a short while (Abandon
    // after that), never hangs. No report or `done` runs after this.
    ~ConnectionWorker() override;

    // Queues `job`; `done` runs on the owner's thread once the job has returned (after every
    // report it posted), also when it threw: a job reports its own failures through Post, and
    // an exception that escapes it is caught and logged. Not for a job that was abandoned.
    void Start(Job job, std::function<void()> done = {});
    // A job is queued or running.
    bool Busy() const;
    // Requests the cancel of the running job.
    void Cancel();
    // Waits up to `limit` for every job to end, handling nothing else; true when none is left.
    bool WaitIdle(std::chrono::milliseconds limit);
    // Leaves the running job to end on its own thread whenever its call returns; its reports
    // and `done` are dropped. Queued and later jobs run on a new thread.
    void Abandon();

signals:
    // Busy() changed.
    void busyChanged(bool busy);

private:
    // Runs the reports that wait in the mailbox; queued by name from a job's thread, so that
    // nothing but the mailbox itself, under its mutex, passes between the threads.
    Q_INVOKABLE void drainMailbox();

    struct State;
    std::shared_ptr<State> state_;
};
