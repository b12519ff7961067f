#pragma once

#include <QString>
#include <QtGlobal>

// Where a run stands, as the status bar's progress panel shows it.
struct RunProgress {
    enum class State { Running, Done, Failed, Cancelled };
    State state = State::Running;
    bool hasResult = false;    // the current batch returned rows (it may have none yet)
    qsizetype rows = 0;        // rows of that result read so far
    qint64 rowsAffected = -1;  // rows changed by the last batch without a result; -1 unknown
    qint64 elapsedMs = 0;
};

// "12,345 行 · 1.2 秒" while rows arrive and at the end, "3 行を処理しました · 0.1 秒" for a
// statement without rows, with the cancel or failure named in front when the run did not end.
QString RunProgressText(const RunProgress &progress);
