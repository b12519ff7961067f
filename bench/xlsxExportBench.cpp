// Export of a result of rows x 5 columns to .xlsx: our writer against a bare libxlsxwriter
// program that writes the same values in constant-memory mode (the floor). Each writer runs
// in its own child process so that its memory is its own.
//
//   xlsx_export_bench [rows ...]          generated values    (default: 100000 1000000)
//   xlsx_export_bench --sqlite [rows ...] a query result read from SQLite into a recordset;
//                                         only the export step is timed and its added memory
//                                         measured (peak during the step less the memory before)

#include <QCoreApplication>
#include <QDir>
#include <QList>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "data/connection.h"
#include "data/recordset.h"
#include "files/recordsetRowSource.h"
#include "files/xlsxExport.h"

namespace {

constexpr int kColumns = 5;
constexpr int kPool = 1000;
const char *const kNames[kColumns] = {"id", "code", "name", "amount", "created"};

// Values of columns 1 to 4 cycle through a pool; column 0 is the row number, made per row.
struct Pool {
    std::vector<std::string> text[kColumns];
    Pool() {
        char buffer[64];
        for (int i = 0; i < kPool; ++i) {
            std::snprintf(buffer, sizeof buffer, "%07d", i * 37);
            text[1].emplace_back(buffer);
            std::snprintf(buffer, sizeof buffer, "顧客 %d 号", i);
            text[2].emplace_back(buffer);
            std::snprintf(buffer, sizeof buffer, "%d.%02d", i * 1234, i % 100);
            text[3].emplace_back(buffer);
            std::snprintf(buffer, sizeof buffer, "2024-%02d-%02d 12:%02d:00", i % 12 + 1,
                          i % 28 + 1, i % 60);
            text[4].emplace_back(buffer);
        }
    }
};

// The floor's workbook: constant memory, every column in text format, the header written.
struct FloorBook {
    lxw_workbook *book;
    lxw_worksheet *sheet;
    lxw_format *text;
};

FloorBook OpenFloorBook(const std::string &path) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook *book = workbook_new_opt(path.c_str(), &options);
    lxw_worksheet *sheet = workbook_add_worksheet(book, nullptr);
    lxw_format *text = workbook_add_format(book);
    format_set_num_format(text, "@");
    for (int c = 0; c < kColumns; ++c) {
        worksheet_set_column(sheet, c, c, LXW_DEF_COL_WIDTH, text);
        worksheet_write_string(sheet, 0, c, kNames[c], text);
    }
    return {book, sheet, text};
}

void RunFloor(const Pool &pool, long rows, const std::string &path) {
    auto [book, sheet, text] = OpenFloorBook(path);
    char number[32];
    for (long r = 0; r < rows; ++r) {
        std::snprintf(number, sizeof number, "%ld", r + 1);
        worksheet_write_string(sheet, r + 1, 0, number, text);
        for (int c = 1; c < kColumns; ++c) {
            worksheet_write_string(sheet, r + 1, c, pool.text[c][r % kPool].c_str(), text);
        }
    }
    if (workbook_close(book) != LXW_NO_ERROR) {
        std::exit(2);
    }
}

// The same values as QStrings, as a result set hands them to the writer.
class GeneratedRows : public RowSource {
public:
    GeneratedRows(const Pool &pool, long rows) : rows_(rows) {
        for (int c = 1; c < kColumns; ++c) {
            for (const std::string &value : pool.text[c]) {
                text_[c].append(QString::fromStdString(value));
            }
        }
    }
    int FieldCount() const override { return kColumns; }
    QString FieldName(int field) const override { return QString::fromLatin1(kNames[field]); }
    bool NextRow(QList<ExportCell> &row) override {
        if (next_ == rows_) {
            return false;
        }
        row[0].text = QString::number(next_ + 1);
        for (int c = 1; c < kColumns; ++c) {
            row[c].text = text_[c][next_ % kPool];
        }
        ++next_;
        return true;
    }

private:
    long rows_;
    long next_ = 0;
    QList<QString> text_[kColumns];
};

void RunTessory(const Pool &pool, long rows, const std::string &path) {
    GeneratedRows source(pool, rows);
    const XlsxWriteResult result = WriteXlsx(source, QString::fromStdString(path));
    if (result.rowsWritten != rows || result.stopped) {
        std::exit(2);
    }
}

// Runs `work` in a child process; prints its wall time and peak resident memory.
double Measure(const char *label, long rows, const std::function<void()> &work) {
    std::fflush(stdout);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        work();
        std::_Exit(0);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    std::printf("%-8s %9ld rows  %7.2f s  peak %6.1f MB%s\n", label, rows, seconds,
                usage.ru_maxrss / 1024.0, ok ? "" : "  FAILED");
    return seconds;
}

// Resident memory figures of this process from /proc, in kB.
long StatusKb(const char *key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0) {
            return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
        }
    }
    return -1;
}

// Runs `step` and prints its time and the memory it added at its peak.
void MeasureStep(const char *label, long rows, const std::function<void()> &step) {
    std::ofstream("/proc/self/clear_refs") << "5";  // restarts the peak (VmHWM) from now
    const long before = StatusKb("VmRSS");
    const auto start = std::chrono::steady_clock::now();
    step();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-8s %9ld rows  %7.2f s  export step adds %6.1f MB at its peak\n", label, rows,
                seconds, (StatusKb("VmHWM") - before) / 1024.0);
    std::fflush(stdout);
}

void RunSqlite(long rows, const QString &folder) {
    Connection connection;
    connection.setConnectionString(QStringLiteral("Driver=%1;Database=%2/bench.sqlite;")
                                       .arg(QStringLiteral(TESSORY_SQLITE3_ODBC), folder));
    connection.Open();
    const auto exec = [&](const QString &sql) {
        Recordset rs;
        rs.Open(sql, connection);
    };
    exec(QStringLiteral("DROP TABLE IF EXISTS t"));
    exec(
        QStringLiteral("CREATE TABLE t (id integer, code text, name text, amount text, "
                       "created text)"));
    exec(QStringLiteral("INSERT INTO t WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 "
                        "FROM c WHERE x < ") +
         QString::number(rows) +
         QStringLiteral(") SELECT x, printf('%07d', (x % 1000) * 37), '顧客 ' || (x % 1000) || "
                        "' 号', printf('%d.%02d', (x % 1000) * 1234, x % 100), "
                        "printf('2024-%02d-%02d 12:%02d:00', x % 12 + 1, x % 28 + 1, x % 60) "
                        "FROM c"));
    Recordset rs;
    rs.Open(QStringLiteral("SELECT * FROM t"), connection);
    std::printf("recordset %ld rows x %d columns loaded from SQLite\n", long(rs.RecordCount()),
                rs.FieldCount());
    const std::string floorPath = (folder + QStringLiteral("/floor.xlsx")).toStdString();
    const QString ourPath = folder + QStringLiteral("/tessory.xlsx");

    Measure("floor", rows, [&] {
        // The floor gets the values ready as UTF-8 before its step starts.
        std::vector<std::string> cells;
        cells.reserve(static_cast<std::size_t>(rows) * kColumns);
        for (qsizetype r = 0; r < rs.RecordCount(); ++r) {
            for (int c = 0; c < kColumns; ++c) {
                cells.push_back(rs.CellText(r, c).toString().toStdString());
            }
        }
        MeasureStep("floor", rows, [&] {
            auto [book, sheet, text] = OpenFloorBook(floorPath);
            for (long r = 0; r < rows; ++r) {
                for (int c = 0; c < kColumns; ++c) {
                    worksheet_write_string(sheet, r + 1, c, cells[r * kColumns + c].c_str(), text);
                }
            }
            workbook_close(book);
        });
    });
    Measure("tessory", rows, [&] {
        MeasureStep("tessory", rows, [&] {
            RecordsetRowSource source(rs);
            WriteXlsx(source, ourPath);
        });
    });
}

}  // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    std::vector<long> sizes;
    const bool sqlite = argc > 1 && std::string(argv[1]) == "--sqlite";
    for (int i = sqlite ? 2 : 1; i < argc; ++i) {
        sizes.push_back(std::strtol(argv[i], nullptr, 10));
    }
    if (sizes.empty()) {
        sizes = {100000, 1000000};
    }
    QTemporaryDir dir;
    if (sqlite) {
        for (const long rows : sizes) {
            RunSqlite(rows, dir.path());
        }
        return 0;
    }
    const Pool pool;
    for (const long rows : sizes) {
        const std::string floorPath = QDir(dir.path()).filePath("floor.xlsx").toStdString();
        const std::string ourPath = QDir(dir.path()).filePath("tessory.xlsx").toStdString();
        const double floor = Measure("floor", rows, [&] { RunFloor(pool, rows, floorPath); });
        const double ours = Measure("tessory", rows, [&] { RunTessory(pool, rows, ourPath); });
        std::printf("ratio    %.2f x the floor's time\n\n", ours / floor);
    }
    return 0;
}
