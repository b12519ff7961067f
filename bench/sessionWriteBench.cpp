// Times the session write of a query window holding a long script: the part on the
// user-interface thread (taking the window's state and handing it to the writer) and the part on
// the writer's thread (encoding the session and writing it durably, fsync included). Run
// offscreen:
//   QT_QPA_PLATFORM=offscreen ./session_write_bench [lines...]   (default 1000 10000 50000)
// The session folder is a temporary folder beside the system's temporary files.
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/basMain.h"
#include "app/frmMain.h"
#include "app/sessionKeeper.h"
#include "benchSupport.h"
#include "ui/frmSQL.h"
#include "ui/queryEditor.h"

namespace {

void Run(int lines) {
    QTemporaryDir folder;
    ResetSharedState();
    frmMain window;
    window.resize(1000, 800);
    window.show();
    // The delay is long: every write below is asked for by the benchmark.
    SessionKeeper session(window, folder.path(), std::chrono::hours(1));
    frmSQL *doc = window.LoadNewDoc();
    doc->txtQry()->setText(SampleScript(lines));
    QApplication::processEvents();
    session.SaveIfChanged();
    session.Flush();

    constexpr int kRounds = 15;
    std::vector<double> uiThread;
    std::vector<double> writer;
    for (int round = 0; round < kRounds; ++round) {
        QTest::keyClick(doc->txtQry(), Qt::Key_A);  // one change, as a key would make
        QElapsedTimer clock;
        clock.start();
        session.SaveIfChanged();
        uiThread.push_back(double(clock.nsecsElapsed()) / 1e6);
        clock.restart();
        session.Flush();
        writer.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    const Figures ui = Summarise(uiThread);
    const Figures disk = Summarise(writer);
    std::printf(
        "%6d lines (%4.1f MB as UTF-16): UI thread median %6.2f ms, worst %6.2f ms;"
        " writer thread median %7.2f ms, worst %7.2f ms\n",
        lines, double(doc->txtQry()->Text().size()) * 2 / 1e6, ui.median, ui.worst, disk.median,
        disk.worst);
    window.close();
}

}  // namespace

int main(int argc, char *argv[]) {
    PrepareProcess();
    QApplication app(argc, argv);
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) {
        sizes.push_back(QString::fromLatin1(argv[i]).toInt());
    }
    if (sizes.empty()) {
        sizes = {1000, 10000, 50000};
    }
    for (const int lines : sizes) {
        Run(lines);
    }
    return 0;
}
