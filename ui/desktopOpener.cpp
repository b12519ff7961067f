#include "core/desktopOpener.h"

#include <QDesktopServices>
#include <QUrl>

namespace {

class SystemDesktopOpener final : public DesktopOpener {
public:
    bool open(const QString &path) override {
        return QDesktopServices::openUrl(
            QUrl::fromUserInput(path, QString(), QUrl::AssumeLocalFile));
    }
};

SystemDesktopOpener gSystemOpener;
DesktopOpener *gOpener = &gSystemOpener;

}  // namespace

DesktopOpener &CurrentDesktopOpener() {
    return *gOpener;
}

DesktopOpener *SetDesktopOpener(DesktopOpener *opener) {
    DesktopOpener *previous = gOpener == &gSystemOpener ? nullptr : gOpener;
    gOpener = opener ? opener : &gSystemOpener;
    return previous;
}
