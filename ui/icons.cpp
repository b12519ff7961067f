#include "ui/icons.h"

#include <QIconEngine>
#include <QImage>
#include <QPainter>

namespace {

// The share of its opacity that a disabled icon keeps.
constexpr double kDisabledOpacity = 0.35;

// Serves an icon as it is, except in the disabled mode, where it serves the normal pixmap in
// its disabled look.
class DisabledLookEngine final : public QIconEngine {
public:
    explicit DisabledLookEngine(QIcon icon) : icon_(std::move(icon)) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, scaledPixmap(rect.size(), mode, state, scale));
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        if (mode != QIcon::Disabled) {
            return icon_.pixmap(size, scale, mode, state);
        }
        return DisabledLook(icon_.pixmap(size, scale, QIcon::Normal, state));
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override {
        return icon_.actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon_.availableSizes(mode == QIcon::Disabled ? QIcon::Normal : mode, state);
    }
    QString iconName() override { return icon_.name(); }
    bool isNull() override { return icon_.isNull(); }
    QString key() const override { return QStringLiteral("DisabledLookEngine"); }
    QIconEngine *clone() const override { return new DisabledLookEngine(icon_); }

private:
    QIcon icon_;
};

}  // namespace

QIcon ProgramIcon() {
    return QIcon(QStringLiteral(":/icons/tessory.svg"));
}

QIcon ToolbarIcon(const char *themeName, const char *bundledName) {
    const QIcon bundled(QStringLiteral(":/icons/toolbar/%1.svg").arg(QLatin1String(bundledName)));
    const QIcon icon =
        themeName ? QIcon::fromTheme(QString::fromLatin1(themeName), bundled) : bundled;
    return QIcon(new DisabledLookEngine(icon));
}

QPixmap DisabledLook(const QPixmap &pixmap) {
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qGray(line[x]);
            line[x] = qRgba(grey, grey, grey, int(qAlpha(line[x]) * kDisabledOpacity));
        }
    }
    QPixmap result = QPixmap::fromImage(image);
    result.setDevicePixelRatio(pixmap.devicePixelRatio());
    return result;
}
