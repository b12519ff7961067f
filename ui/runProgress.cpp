#include "ui/runProgress.h"

#include <QLocale>

QString RunProgressText(const RunProgress &progress) {
    const QLocale locale(QLocale::Japanese, QLocale::Japan);
    const QString seconds =
        QStringLiteral("%1 秒").arg(locale.toString(double(progress.elapsedMs) / 1000.0, 'f', 1));
    QString counted;
    if (progress.hasResult) {
        counted = QStringLiteral("%1 行").arg(locale.toString(qlonglong(progress.rows)));
    } else if (progress.rowsAffected >= 0) {
        counted = QStringLiteral("%1 行を処理しました").arg(locale.toString(progress.rowsAffected));
    }
    QStringList parts;
    switch (progress.state) {
        case RunProgress::State::Cancelled:
            parts << QStringLiteral("取り消しました");
            break;
        case RunProgress::State::Failed:
            parts << QStringLiteral("エラー");
            break;
        default:
            break;
    }
    if (!counted.isEmpty()) {
        parts << counted;
    }
    parts << seconds;
    return parts.join(QStringLiteral(" · "));
}
