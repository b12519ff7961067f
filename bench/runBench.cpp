// A run through the real main window (offscreen) of a 1,000,000-row x 5-column result from a
// streaming SQLite source:
//   (a) the longest stall of the user-interface event loop during the run, seen by a 5 ms timer
//       (target under 50 ms);
//   (b) from the Run command to the first row painted in the grid (target under 150 ms);
//   (c) the whole run to the last row, against the synchronous path of one call on the
//       user-interface thread (open the recordset, then bind the grid), in the same process
//       (target at most 1.1x);
//   (d) from Cancel while rows are fetched to the window being idle again, on SQLite and, with
//       TESSORY_BENCH_PG set, on PostgreSQL (target under 1 s).
//
//   build/bench/run_bench
//   TESSORY_BENCH_ROWS=200000                     fewer rows
//   TESSORY_BENCH_PG='DSN=...;UID=...;PWD=...;'   also (d) on PostgreSQL (see fetch_bench)

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QMdiArea>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>

#include "app/basGlobals.h"
#include "app/frmMain.h"
#include "data/basRecordSet.h"
#include "data/recordset.h"
#include "ui/frmSQL.h"
#include "ui/queryEditor.h"

namespace {

using namespace std::chrono_literals;

const char *kFill =
    "INSERT INTO bench "
    "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < %1) "
    "SELECT x, 'order line ' || printf('%09d', x), x * 1.25 / 7, "
    "datetime(1700000000 + x, 'unixepoch'), "
    "CASE WHEN x % 10 = 0 THEN NULL ELSE 'note ' || printf('%05d', x % 100000) END FROM c";
const char *kQuery = "SELECT id, name, amount, stamp, note FROM bench";

// Watches the event loop: the longest gap between two ticks of a 5 ms timer.
class StallWatch : public QObject {
public:
    StallWatch() {
        timer_.setTimerType(Qt::PreciseTimer);
        connect(&timer_, &QTimer::timeout, this,
                [this] { longest_ = std::max(longest_, clock_.restart()); });
    }
    void Start() {
        longest_ = 0;
        clock_.start();
        timer_.start(5);
    }
    qint64 Stop() {
        timer_.stop();
        return longest_;
    }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 longest_ = 0;
};

// Notes when the grid first paints with rows in it.
class FirstRowPaint : public QObject {
public:
    explicit FirstRowPaint(QTableView *grid) : grid_(grid) {
        grid_->viewport()->installEventFilter(this);
    }
    qint64 at = -1;
    QElapsedTimer clock;

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (at < 0 && event->type() == QEvent::Paint && grid_->model() &&
            grid_->model()->rowCount() > 0) {
            at = clock.elapsed();
        }
        return false;
    }

private:
    QTableView *grid_;
};

void Exec(const QString &sql) {
    Recordset rs;
    rs.Open(sql, gConnection);
}

// (d): Cancel once rows arrive, until the window is idle again.
qint64 CancelLatency(frmMain &window, frmSQL *doc, const QString &sql) {
    doc->txtQry()->setText(sql);
    window.mnuQryExec_Click();
    QElapsedTimer wait;
    wait.start();
    while (doc->RecordSet().State() != Recordset::StateOpen ||
           doc->RecordSet().RecordCount() < 20000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (wait.elapsed() > 60000) {
            return -1;
        }
    }
    QElapsedTimer clock;
    clock.start();
    window.mnuQryCancel_Click();
    window.WaitUntilIdle(30s);
    return clock.elapsed();
}

}  // namespace

int main(int argc, char *argv[]) {
    std::setlocale(LC_CTYPE, "C.UTF-8");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qint64 rows = qEnvironmentVariableIsSet("TESSORY_BENCH_ROWS")
                            ? qEnvironmentVariableIntValue("TESSORY_BENCH_ROWS")
                            : 1'000'000;
    QTemporaryDir folder;
    try {
        gConnection.setConnectionString(
            QStringLiteral("Driver=%1;Database=%2/bench.sqlite;StepAPI=1;")
                .arg(QStringLiteral(TESSORY_SQLITE3_ODBC), folder.path()));
        gConnection.Open();
        gCommand.setCommandTimeout(0);
        Exec(
            QStringLiteral("CREATE TABLE bench (id integer, name text, amount real, stamp text, "
                           "note text)"));
        Exec(QString::fromLatin1(kFill).arg(rows));

        frmMain window;
        window.resize(1200, 800);
        window.show();
        frmSQL *doc = window.LoadNewDoc();
        const QString query = QString::fromLatin1(kQuery);

        // The synchronous path: one call on the user-interface thread, then the grid.
        QElapsedTimer clock;
        clock.start();
        OpenRecordSet(gConnection, gCommand, query, doc->RecordSet(), false);
        doc->BindGrid();
        QCoreApplication::processEvents();
        const qint64 synchronous = clock.elapsed();
        CloseRecordSet(gConnection, doc->RecordSet());

        // The run on the worker, through the Run command.
        FirstRowPaint paint(doc->grdQry());
        StallWatch stalls;
        doc->txtQry()->setText(query);
        stalls.Start();
        paint.clock.start();
        clock.restart();
        window.mnuQryExec_Click();
        window.WaitUntilIdle(600s);
        const qint64 run = clock.elapsed();
        const qint64 stall = stalls.Stop();
        const qsizetype got = doc->RecordSet().RecordCount();

        std::printf("run of %lld rows x 5 columns through the main window (SQLite, streaming)\n",
                    static_cast<long long>(got));
        std::printf("(a) longest event-loop stall during the run: %lld ms   target < 50 ms\n",
                    static_cast<long long>(stall));
        std::printf("(b) Run to first row painted:               %lld ms   target < 150 ms\n",
                    static_cast<long long>(paint.at));
        std::printf(
            "(c) to the last row: worker %lld ms, synchronous %lld ms = %.2fx   target "
            "<= 1.1x\n",
            static_cast<long long>(run), static_cast<long long>(synchronous),
            double(run) / double(synchronous));
        std::printf("(d) cancel while fetching, SQLite:          %lld ms   target < 1000 ms\n",
                    static_cast<long long>(CancelLatency(window, doc, query)));

        const QString postgres = qEnvironmentVariable("TESSORY_BENCH_PG");
        if (postgres.isEmpty()) {
            std::printf("(d) PostgreSQL: skipped (set TESSORY_BENCH_PG to a connection string)\n");
        } else {
            gConnection.Close();
            gConnection.setConnectionString(postgres);
            gConnection.Open();
            std::printf("(d) cancel while fetching, PostgreSQL:      %lld ms   target < 1000 ms\n",
                        static_cast<long long>(CancelLatency(
                            window, doc,
                            QStringLiteral("SELECT g, 'order line ' || g, g * 1.25 / 7, now(), "
                                           "'note' FROM generate_series(1, 50000000) g"))));
        }
        window.mdiArea()->closeAllSubWindows();
    } catch (const Failure &failure) {
        std::fprintf(stderr, "%s\n", qPrintable(failure.description));
        return 1;
    }
    return 0;
}
