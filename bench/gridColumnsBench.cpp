// Sizing the grid's columns to a large result: the scan for each column's widest cell and the
// whole binding of the grid (model, selection, column widths), against fetching the result.
//
//   build/bench/grid_columns_bench            1,000,000 rows of SQLite on a temporary file
//   TESSORY_BENCH_ROWS=200000                 fewer rows
//
// Runs offscreen. Target: the scan and the binding each take at most a tenth of the fetch.

#include <QApplication>
#include <QTemporaryDir>

#include <chrono>
#include <clocale>
#include <cstdio>

#include "data/connection.h"
#include "data/recordset.h"
#include "data/widestCells.h"
#include "ui/frmSQL.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

void Run(Connection &connection, const QString &sql) {
    Recordset rs;
    rs.Open(sql, connection);
}

// integer, text of about 20 characters (some Japanese), real, date-time, nullable text.
const char *kFill =
    "INSERT INTO bench "
    "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < %1) "
    "SELECT x, CASE WHEN x % 3 = 0 THEN '受注データ行' || printf('%08d', x) || '番目です' "
    "ELSE 'order line ' || printf('%09d', x) END, x * 1.25 / 7, "
    "datetime(1700000000 + x, 'unixepoch'), "
    "CASE WHEN x % 10 = 0 THEN NULL ELSE 'note ' || printf('%05d', x % 100000) END FROM c";

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
        Connection connection;
        connection.setConnectionString(
            QStringLiteral("Driver=%1;Database=%2/bench.sqlite;StepAPI=1;")
                .arg(QStringLiteral(TESSORY_SQLITE3_ODBC), folder.path()));
        connection.Open();
        Run(connection, QStringLiteral("CREATE TABLE bench (id integer, name text, amount real, "
                                       "stamp text, note text)"));
        Run(connection, QString::fromUtf8(kFill).arg(rows));
        const QString select =
            QStringLiteral("SELECT id, name, amount, stamp, note FROM bench ORDER BY id");

        frmSQL window(1);
        window.resize(1200, 800);
        window.show();
        auto started = Clock::now();
        window.RecordSet().Open(select, connection);
        const double fetch = Seconds(started);

        // The floor of any scan: reaching every cell's text once.
        started = Clock::now();
        qint64 chars = 0;
        const Recordset &result = window.RecordSet();
        for (qsizetype row = 0; row < result.RecordCount(); ++row) {
            for (int field = 0; field < result.FieldCount(); ++field) {
                chars += result.CellText(row, field).size();
            }
        }
        const double reach = Seconds(started);

        started = Clock::now();
        WidestCells widest;
        widest.Reset(window.RecordSet().FieldCount());
        widest.Add(window.RecordSet());
        const double scan = Seconds(started);

        started = Clock::now();
        window.BindGrid();
        const double bind = Seconds(started);

        std::printf("SQLite: %lld rows x 5 columns\n", (long long)window.RecordSet().RecordCount());
        std::printf("  fetch (Recordset Open)          %.2f s\n", fetch);
        std::printf("  reaching every cell's text      %.3f s  (%lld characters)\n", reach,
                    (long long)chars);
        std::printf("  widest-cell scan                %.3f s  (%.3f x fetch, target <= 0.10)\n",
                    scan, scan / fetch);
        std::printf("  BindGrid (model + widths)       %.3f s  (%.3f x fetch, target <= 0.10)\n",
                    bind, bind / fetch);
    } catch (const Failure &failure) {
        std::printf("failed: %s\n", qPrintable(failure.description));
        return 1;
    }
    return 0;
}
