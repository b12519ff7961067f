#include "app/frmMain.h"

#include <QMdiArea>

#include "app/settings.h"

frmMain::frmMain(QWidget *parent) : QMainWindow(parent), mdiArea_(new QMdiArea(this)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromLatin1(kAppTitle));
    setCentralWidget(mdiArea_);
    resize(800, 600);
}
