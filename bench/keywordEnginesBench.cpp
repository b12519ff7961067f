// Times the keyword colouring and the formatter with the default keyword files on a realistic
// SQL script of 1,000, 10,000 and 50,000 lines, and prints the milliseconds per call and how the
// time grows from 1,000 to 10,000 lines (10 means linear).
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>

#include <algorithm>
#include <cstdio>

#include "core/clsMsg.h"
#include "engines/clsArrangeQuery.h"
#include "engines/clsEditColor.h"
#include "engines/richTextBridge.h"

namespace {

// Nine lines of SQL that repeat with small changes: keywords in mixed case, both comment kinds,
// tabs and Japanese text.
QString Script(int lines) {
    const QStringList pattern = {
        QStringLiteral("-- 受注の集計 %1"),
        QStringLiteral("SELECT c.CustomerName, Count (*) AS 件数, sum(o.Amount) total_%1"),
        QStringLiteral("from Orders o"),
        QStringLiteral("\tInner Join Customers c ON c.Id = o.CustomerId"),
        QStringLiteral("WHERE o.Status IS NOT NULL and o.Note <> 'メモ %1' or o.Flag = 1"),
        QStringLiteral("/* 古い行は"),
        QStringLiteral("\t除く */ GROUP BY c.CustomerName ORDER BY total_%1 desc"),
        QStringLiteral("update Archive set Moved = getdate () where Id = %1"),
        QStringLiteral("GO"),
    };
    QStringList text;
    text.reserve(lines);
    for (int n = 0; n < lines; ++n) {
        const QString &line = pattern.at(n % pattern.size());
        text << (line.contains(QLatin1String("%1")) ? line.arg(n) : line);
    }
    return text.join(QLatin1String("\r\n"));
}

template <typename Call>
double MillisecondsPerCall(Call &&call) {
    double best = 1e300;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer timer;
        timer.start();
        int calls = 0;
        do {
            if (call().isEmpty()) {
                std::fprintf(stderr, "the engine failed\n");
                std::exit(1);
            }
            ++calls;
        } while (timer.elapsed() < 200);
        best = std::min(best, static_cast<double>(timer.nsecsElapsed()) / 1e6 / calls);
    }
    return best;
}

}  // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    std::printf("%8s %10s %12s %14s\n", "lines", "rtf chars", "CColor ms", "CArrange ms");
    double color[3] = {};
    double arrange[3] = {};
    const int sizes[3] = {1000, 10000, 50000};
    for (int n = 0; n < 3; ++n) {
        const QString script = Script(sizes[n]);
        const QString rtf = PlainToRtf(script);
        color[n] = MillisecondsPerCall([&] {
            clsEditColor engine;
            engine.setTabSpaceNum(4);
            return engine.CColor(rtf);
        });
        arrange[n] = MillisecondsPerCall([&] { return clsArrangeQuery().CArrange(script); });
        std::printf("%8d %10lld %12.2f %14.2f\n", sizes[n], static_cast<long long>(rtf.size()),
                    color[n], arrange[n]);
    }
    std::printf("ratio 10,000 / 1,000 lines: CColor %.2f, CArrange %.2f (10 is linear)\n",
                color[1] / color[0], arrange[1] / arrange[0]);
    return 0;
}
