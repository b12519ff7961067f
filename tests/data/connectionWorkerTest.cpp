#include <QCoreApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>

#include "data/cancelSwitch.h"
#include "data/connectionWorker.h"
#include "data/statementCancel.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Runs the owner's event loop until `condition` holds or `limit` has passed.
template <typename F>
bool PumpUntil(F condition, std::chrono::milliseconds limit = 5s) {
    QDeadlineTimer deadline(limit);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// Runs the event loop for `time`, for checks that something does not happen.
void Pump(std::chrono::milliseconds time) {
    PumpUntil([] { return false; }, time);
}

// What busyChanged said, in order.
void RecordBusy(ConnectionWorker &worker, QList<bool> &said) {
    QObject::connect(&worker, &ConnectionWorker::busyChanged,
                     [&said](bool busy) { said.append(busy); });
}

// The job's side of a test: flags set from the job's thread, read by the test.
struct JobProbe {
    std::atomic<bool> started{false};
    std::atomic<bool> release{false};
    std::atomic<bool> sawCancel{false};
    std::atomic<bool> finished{false};
};

// A job that ignores its cancel: it waits `time` (or until released), then posts "late".
ConnectionWorker::Job Stuck(std::shared_ptr<JobProbe> probe, std::chrono::milliseconds time,
                            std::shared_ptr<QStringList> events) {
    return [probe, time, events](JobContext &context) {
        probe->started = true;
        context.Post([events] { events->append(QStringLiteral("early")); });
        const auto end = Clock::now() + time;
        while (!probe->release && Clock::now() < end) {
            std::this_thread::sleep_for(5ms);
        }
        probe->sawCancel = context.Cancel().Requested();
        context.Post([events] { events->append(QStringLiteral("late")); });
        probe->finished = true;
    };
}

TEST(ConnectionWorkerTest, RunsJobsAndTheirReportsInOrderWithDoneLast) {
    ConnectionWorker worker;
    auto events = std::make_shared<QStringList>();
    for (int job = 1; job <= 3; ++job) {
        worker.Start(
            [events, job](JobContext &context) {
                for (int report = 1; report <= 2; ++report) {
                    context.Post([events, job, report] {
                        events->append(QStringLiteral("%1.%2").arg(job).arg(report));
                    });
                }
            },
            [events, job] { events->append(QStringLiteral("%1 done").arg(job)); });
    }
    ASSERT_TRUE(PumpUntil([&] { return events->size() == 9; }));
    EXPECT_EQ(events->join(u' '), QStringLiteral("1.1 1.2 1 done 2.1 2.2 2 done 3.1 3.2 3 done"));
}

TEST(ConnectionWorkerTest, JobsRunOffTheOwnersThreadAndReportsOnIt) {
    ConnectionWorker worker;
    const auto owner = std::this_thread::get_id();
    std::atomic<bool> jobOnOwner{true};
    bool reportOnOwner = false;
    bool done = false;
    worker.Start(
        [&](JobContext &context) {
            jobOnOwner = std::this_thread::get_id() == owner;
            context.Post([&] { reportOnOwner = std::this_thread::get_id() == owner; });
        },
        [&] { done = true; });
    ASSERT_TRUE(PumpUntil([&] { return done; }));
    EXPECT_FALSE(jobOnOwner);
    EXPECT_TRUE(reportOnOwner);
}

TEST(ConnectionWorkerTest, BusyFromStartUntilTheLastDone) {
    ConnectionWorker worker;
    QList<bool> busy;
    RecordBusy(worker, busy);
    EXPECT_FALSE(worker.Busy());

    std::atomic<bool> release{false};
    QList<bool> busyInDone;
    const auto job = [&](JobContext &) {
        while (!release) {
            std::this_thread::sleep_for(1ms);
        }
    };
    worker.Start(job, [&] { busyInDone.append(worker.Busy()); });
    worker.Start(job, [&] { busyInDone.append(worker.Busy()); });
    EXPECT_TRUE(worker.Busy());
    EXPECT_EQ(busy, QList<bool>{true});

    release = true;
    ASSERT_TRUE(PumpUntil([&] { return busyInDone.size() == 2; }));
    // The first done still has the second job to wait for; the last one sees the worker idle.
    EXPECT_EQ(busyInDone, (QList<bool>{true, false}));
    EXPECT_EQ(busy, (QList<bool>{true, false}));
    EXPECT_TRUE(worker.WaitIdle(1s));
}

TEST(ConnectionWorkerTest, CancelReachesTheRunningJobOnly) {
    ConnectionWorker worker;
    auto first = std::make_shared<JobProbe>();
    std::atomic<bool> secondCancelled{true};
    bool done = false;
    worker.Start([first](JobContext &context) {
        first->started = true;
        const auto end = Clock::now() + 5s;
        while (!context.Cancel().Requested() && Clock::now() < end) {
            std::this_thread::sleep_for(1ms);
        }
        first->sawCancel = context.Cancel().Requested();
    });
    worker.Start([&](JobContext &context) { secondCancelled = context.Cancel().Requested(); },
                 [&] { done = true; });
    ASSERT_TRUE(PumpUntil([&] { return first->started.load(); }));
    const auto cancelled = Clock::now();
    worker.Cancel();
    ASSERT_TRUE(PumpUntil([&] { return done; }));
    EXPECT_LT(Clock::now() - cancelled, 2s);
    EXPECT_TRUE(first->sawCancel);
    EXPECT_FALSE(secondCancelled);
}

TEST(ConnectionWorkerTest, AbandonLeavesAStuckJobAndRunsTheNextOnANewThread) {
    ConnectionWorker worker;
    auto probe = std::make_shared<JobProbe>();
    auto events = std::make_shared<QStringList>();
    bool stuckDone = false;
    bool nextDone = false;
    std::thread::id stuckThread;
    std::atomic<bool> nextOnOtherThread{false};
    worker.Start(
        [job = Stuck(probe, 3s, events), &stuckThread](JobContext &context) {
            stuckThread = std::this_thread::get_id();
            job(context);
        },
        [&] { stuckDone = true; });
    worker.Start(
        [&, probe](JobContext &context) {
            nextOnOtherThread = std::this_thread::get_id() != stuckThread;
            context.Post([events] { events->append(QStringLiteral("next")); });
        },
        [&] { nextDone = true; });
    while (!probe->started) {
        std::this_thread::sleep_for(1ms);  // not pumping: "early" stays in the mailbox
    }

    const auto abandoned = Clock::now();
    worker.Abandon();
    EXPECT_LT(Clock::now() - abandoned, 200ms);
    EXPECT_TRUE(worker.Busy());  // the next job is queued

    ASSERT_TRUE(PumpUntil([&] { return nextDone; }, 2s));
    EXPECT_FALSE(probe->finished);  // the next job did not wait for the stuck one
    EXPECT_TRUE(nextOnOtherThread);
    EXPECT_EQ(*events, QStringList{QStringLiteral("next")});
    EXPECT_FALSE(stuckDone);
    EXPECT_FALSE(worker.Busy());
}

TEST(ConnectionWorkerTest, AnAbandonedJobIsCancelledAndItsLaterReportsDropped) {
    ConnectionWorker worker;
    QList<bool> busy;
    RecordBusy(worker, busy);
    auto probe = std::make_shared<JobProbe>();
    auto events = std::make_shared<QStringList>();
    bool done = false;
    worker.Start(Stuck(probe, 5s, events), [&] { done = true; });
    ASSERT_TRUE(PumpUntil([&] { return probe->started.load(); }));
    worker.Abandon();
    EXPECT_FALSE(worker.Busy());
    EXPECT_EQ(busy, (QList<bool>{true, false}));

    probe->release = true;
    ASSERT_TRUE(PumpUntil([&] { return probe->finished.load(); }));
    Pump(50ms);
    EXPECT_TRUE(probe->sawCancel);
    EXPECT_FALSE(events->contains(QStringLiteral("late")));
    EXPECT_FALSE(done);

    // The worker goes on with new jobs.
    bool nextDone = false;
    worker.Start([](JobContext &) {}, [&] { nextDone = true; });
    EXPECT_TRUE(PumpUntil([&] { return nextDone; }));
}

TEST(ConnectionWorkerTest, AbandonWithNothingRunningChangesNothing) {
    ConnectionWorker worker;
    worker.Abandon();
    bool done = false;
    worker.Start([](JobContext &) {}, [&] { done = true; });
    EXPECT_TRUE(PumpUntil([&] { return done; }));
}

TEST(ConnectionWorkerTest, DestructorReturnsSoonWithAStuckJob) {
    auto probe = std::make_shared<JobProbe>();
    auto events = std::make_shared<QStringList>();
    auto worker = std::make_unique<ConnectionWorker>();
    worker->Start(Stuck(probe, 3s, events));
    worker->Start([events](JobContext &) { events->append(QStringLiteral("queued ran")); });
    ASSERT_TRUE(PumpUntil([&] { return probe->started.load(); }));

    const auto destroyed = Clock::now();
    worker.reset();
    const auto took = Clock::now() - destroyed;
    EXPECT_LT(took, 1500ms);
    EXPECT_GE(took, 900ms);  // it gave the job its chance to end first
    Pump(50ms);
    EXPECT_FALSE(events->contains(QStringLiteral("queued ran")));
    probe->release = true;  // let the thread left behind end early
}

TEST(ConnectionWorkerTest, DestructorWaitsForAJobThatHonoursItsCancel) {
    auto probe = std::make_shared<JobProbe>();
    {
        ConnectionWorker worker;
        worker.Start([probe](JobContext &context) {
            probe->started = true;
            while (!context.Cancel().Requested()) {
                std::this_thread::sleep_for(1ms);
            }
            std::this_thread::sleep_for(20ms);
            probe->finished = true;
        });
        ASSERT_TRUE(PumpUntil([&] { return probe->started.load(); }));
    }
    EXPECT_TRUE(probe->finished);
}

TEST(ConnectionWorkerTest, AJobThatThrowsStillEndsWithDone) {
    struct Case {
        const char *name;
        ConnectionWorker::Job job;
    };
    const Case cases[] = {
        {"failure",
         [](JobContext &) {
             throw Failure{3704, QStringLiteral("closed")};
         }},
        {"std::exception", [](JobContext &) { throw std::runtime_error("broken"); }},
        {"anything", [](JobContext &) { throw 42; }},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.name);
        ConnectionWorker worker;
        QStringList events;
        worker.Start(test.job, [&] { events.append(QStringLiteral("done")); });
        worker.Start([](JobContext &) {}, [&] { events.append(QStringLiteral("next")); });
        ASSERT_TRUE(PumpUntil([&] { return events.size() == 2; }));
        EXPECT_EQ(events, (QStringList{QStringLiteral("done"), QStringLiteral("next")}));
        EXPECT_FALSE(worker.Busy());
    }
}

TEST(ConnectionWorkerTest, WaitIdleTellsWhetherTheJobsEnded) {
    ConnectionWorker worker;
    std::atomic<bool> release{false};
    worker.Start([&](JobContext &) {
        while (!release) {
            std::this_thread::sleep_for(1ms);
        }
    });
    EXPECT_FALSE(worker.WaitIdle(50ms));
    release = true;
    EXPECT_TRUE(worker.WaitIdle(2s));
}

TEST(CancelSwitchTest, RequestReachesTheAttachedStatementOnly) {
    struct Case {
        const char *name;
        bool requestBeforeAttach;
        bool requestWhileAttached;
        bool requestAfterDetach;
        bool expectStatementCancelled;
    };
    const Case cases[] = {
        {"before attach", true, false, false, true},
        {"while attached", false, true, false, true},
        {"after detach", false, false, true, false},
        {"never", false, false, false, false},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.name);
        CancelSwitch cancel;
        StatementCancel statement;
        if (test.requestBeforeAttach) {
            cancel.Request();
        }
        cancel.Attach(statement);
        if (test.requestWhileAttached) {
            cancel.Request();
        }
        cancel.Detach();
        if (test.requestAfterDetach) {
            cancel.Request();
        }
        EXPECT_EQ(statement.reason() == CancelReason::Requested, test.expectStatementCancelled);
        EXPECT_EQ(cancel.Requested(),
                  test.requestBeforeAttach || test.requestWhileAttached || test.requestAfterDetach);
    }
}

TEST(CancelSwitchTest, RequestFromAnotherThreadReachesTheStatement) {
    CancelSwitch cancel;
    StatementCancel statement;
    cancel.Attach(statement);
    std::thread([&] { cancel.Request(); }).join();
    EXPECT_EQ(statement.reason(), CancelReason::Requested);
    cancel.Detach();
}

}  // namespace
