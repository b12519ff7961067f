// Starts like the program (main window, session keeper, connection dialog answered with Cancel)
// and then, for crashRestoreTest.cpp:
//   type: types into two query windows at a steady pace, checking after every key how far the
//         session file on the disk lags behind; prints "max-lag-ms=<n>", waits until every key
//         is on the disk, prints "ready" and waits to be killed.
//   show: prints each restored window as "window=<caption>|<text>" and ends.
#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <optional>

#include "app/basMain.h"
#include "app/frmMain.h"
#include "app/sessionKeeper.h"
#include "files/sessionStore.h"
#include "ui/frmSQL.h"
#include "ui/japaneseQt.h"
#include "ui/queryEditor.h"

namespace {

const QString kTexts[] = {QStringLiteral("SELECT 'first window' FROM a"),
                          QStringLiteral("SELECT 'second window' FROM b")};

// The texts of the windows as the session file on the disk holds them.
QStringList TextsOnDisk(const QString &path) {
    QFile file(path);
    QStringList texts;
    if (file.open(QIODevice::ReadOnly)) {
        if (const std::optional<Session> session = DecodeSession(file.readAll())) {
            for (const SessionWindow &window : session->windows) {
                texts.append(window.text);
            }
        }
    }
    return texts;
}

// Types one key every 50 ms into each window in turn. After every key: the first key that the
// disk does not hold yet was typed `lag` ago; the largest lag is what a crash could lose.
qint64 TypeAndMeasureLag(frmMain &window, const SessionKeeper &session) {
    const QList<frmSQL *> docs = window.Docs();
    QElapsedTimer clock;
    clock.start();
    QList<QList<qint64>> typedAt(docs.size());
    qint64 maxLag = 0;
    for (int doc = 0; doc < docs.size(); ++doc) {
        for (const QChar key : kTexts[doc]) {
            QTest::keyClicks(docs[doc]->txtQry(), QString(key));
            typedAt[doc].append(clock.elapsed());
            const QStringList onDisk = TextsOnDisk(session.SessionPath());
            for (int d = 0; d <= doc; ++d) {
                const qsizetype saved = d < onDisk.size() ? onDisk[d].size() : 0;
                if (saved < typedAt[d].size()) {
                    maxLag = std::max(maxLag, clock.elapsed() - typedAt[d][saved]);
                }
            }
            QTest::qWait(50);
        }
    }
    return maxLag;
}

}  // namespace

int main(int argc, char *argv[]) {
    PrepareProcess();
    QApplication app(argc, argv);
    const JapaneseQt japanese(app);
    PrepareApplication();
    const QString mode = argc > 1 ? QString::fromLatin1(argv[1]) : QString();
    ResetSharedState();
    frmMain window;
    SessionKeeper session(window, SessionKeeper::DefaultFolder());
    QTimer::singleShot(0, [] {
        if (QWidget *dialog = QApplication::activeModalWidget()) {
            dialog->findChild<QPushButton *>(QStringLiteral("cmdCancel"))->click();
        }
    });
    StartUp(window, {}, &session);
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    if (mode == QLatin1String("show")) {
        for (frmSQL *doc : window.Docs()) {
            out << "window=" << doc->Caption() << '|' << doc->txtQry()->Text() << '\n';
        }
        return 0;
    }
    window.LoadNewDoc();
    out << "max-lag-ms=" << TypeAndMeasureLag(window, session) << '\n';
    out.flush();
    QElapsedTimer waited;
    waited.start();
    while (TextsOnDisk(session.SessionPath()) !=
               QStringList(std::begin(kTexts), std::end(kTexts)) &&
           waited.elapsed() < 10000) {
        QTest::qWait(20);
    }
    out << "ready\n";
    out.flush();
    return QApplication::exec();  // until killed
}
