// Times the program's start: from the moment a new process is started to the first paint of the
// connection dialog. The benchmark starts itself again as the program (Main's own steps, with a
// private state folder so that no session of the user's is touched); the child prints the time
// of the dialog's first paint and ends there. Run offscreen or on a display:
//   QT_QPA_PLATFORM=offscreen ./startup_bench [runs]        (default 20 runs)
// The figures are the median, the fastest and the slowest run, in milliseconds.
#include <QApplication>
#include <QEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string_view>
#include <vector>

#include "app/basMain.h"

namespace {

constexpr char kChildArgument[] = "--as-program";

// Nanoseconds on the monotonic clock, which parent and child share.
long long MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Prints the time of the connection dialog's first paint and ends the process there.
class FirstPaintOfDialog : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Paint &&
            watched->objectName() == QLatin1String("frmConnect")) {
            std::printf("%lld\n", MonotonicNanoseconds());
            std::fflush(stdout);
            std::_Exit(0);
        }
        return false;
    }
};

// The program's own start-up, as Main runs it, watched for the dialog's first paint.
int RunAsProgram(int argc, char *argv[]) {
    PrepareProcess();
    QApplication app(argc, argv);
    FirstPaintOfDialog watcher;
    app.installEventFilter(&watcher);
    RunProgram(app);
    std::fprintf(stderr, "the connection dialog was never painted\n");
    return 1;
}

// One start of the program in a child process; milliseconds to the dialog's first paint.
double TimeOneStart(const QString &program, const QString &stateFolder) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_STATE_HOME"), stateFolder);
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const long long started = MonotonicNanoseconds();
    child.start(program, {QString::fromLatin1(kChildArgument)});
    if (!child.waitForFinished(30000) || child.exitCode() != 0) {
        std::fprintf(stderr, "the program did not start\n");
        std::exit(1);
    }
    const long long painted =
        QString::fromLatin1(child.readAllStandardOutput()).trimmed().toLongLong();
    return double(painted - started) / 1e6;
}

}  // namespace

int main(int argc, char *argv[]) {
    if (argc > 1 && std::string_view(argv[1]) == kChildArgument) {
        return RunAsProgram(argc, argv);
    }
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    std::vector<double> times;
    const QTemporaryDir state;
    TimeOneStart(QCoreApplication::applicationFilePath(), state.path());  // warms the file cache
    for (int run = 0; run < runs; ++run) {
        times.push_back(TimeOneStart(QCoreApplication::applicationFilePath(), state.path()));
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "start to connection dialog painted, %d runs: median %.1f ms, fastest %.1f ms, "
        "slowest %.1f ms (target under 120 ms)\n",
        runs, times[times.size() / 2], times.front(), times.back());
    return 0;
}
