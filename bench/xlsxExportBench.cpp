// Export of a generated result (rows x 5 columns) to .xlsx: our writer against a bare
// libxlsxwriter program that writes the same values in constant-memory mode (the floor).
// Each writer runs in its own child process so that its peak memory is its own.
//
//   xlsx_export_bench [rows ...]     (default: 100000 1000000)

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
#include <functional>
#include <string>
#include <vector>

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

void RunFloor(const Pool &pool, long rows, const std::string &path) {
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

}  // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    std::vector<long> sizes;
    for (int i = 1; i < argc; ++i) {
        sizes.push_back(std::strtol(argv[i], nullptr, 10));
    }
    if (sizes.empty()) {
        sizes = {100000, 1000000};
    }
    QTemporaryDir dir;
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
