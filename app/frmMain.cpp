#include "app/frmMain.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>

#include "app/basGlobals.h"
#include "app/mainCommandTable.h"
#include "app/queryRun.h"
#include "core/failure.h"
#include "core/settings.h"
#include "data/basRecordSet.h"
#include "ui/frmSQL.h"
#include "ui/queryEditor.h"
#include "ui/twips.h"
#include "ui/windowArrangement.h"

namespace {

// The client area of the main window as designed, in twips.
constexpr int kDesignClientWidth = 7275;
constexpr int kDesignClientHeight = 4860;

// The frame's Ctrl+F4 closes the active query window wherever the focus is. Where the
// platform gives a window's own menu the same key, the two would cancel each other out, so
// the window's menu lets it go.
void ReleaseCloseKey(QMdiSubWindow *window) {
    if (!window->systemMenu()) {
        return;
    }
    for (QAction *action : window->systemMenu()->actions()) {
        QList<QKeySequence> keys = action->shortcuts();
        if (keys.removeAll(QKeySequence(kCloseDocKey)) > 0) {
            action->setShortcuts(keys);
        }
    }
}

}  // namespace

frmMain::frmMain(QWidget *parent) : QMainWindow(parent), mdiArea_(new QMdiArea(this)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromLatin1(kAppTitle));
    mdiArea_->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(mdiArea_);
    buildMenus();
    buildToolbars();
    buildStatusBar();
    setUpRunTimers();
    connect(&worker_, &ConnectionWorker::busyChanged, this, &frmMain::EnabledControls);

    // The window never gets smaller than its design size, for the user's dragging and for a
    // stored size alike.
    const Twips twips(this);
    setMinimumSize(twips.toPixelsX(kDesignClientWidth),
                   twips.toPixelsY(kDesignClientHeight) + menuBar()->sizeHint().height());

    IgnoreFailure([&] { applyStoredPlacement(); });
    IgnoreFailure(
        [&] { gCommand.setCommandTimeout(Settings::ReadInt(Settings::QueryTimeout, 30)); });
    EnabledControls();
}

frmMain::~frmMain() = default;

frmSQL *frmMain::LoadNewDoc() {
    if (mDocNumber_ == std::numeric_limits<int>::max() ||
        gDocCount == std::numeric_limits<short>::max()) {
        throw MakeFailure(FailureNumber::Overflow);
    }
    ++mDocNumber_;
    auto *doc = new frmSQL(mDocNumber_);
    doc->setColorKeywordFile(keywordFile(QStringLiteral("KEYWORD_COLOR.CSV")));
    QMdiSubWindow *window = mdiArea_->addSubWindow(doc);
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(doc, &frmSQL::Closed, this, [this, doc] {
        // A window that closes while its text runs stops the run first. The connection is the
        // worker's while anything runs: only the rows are dropped then.
        if (run_ && run_->Doc() == doc) {
            run_->Cancel();
        }
        if (Working()) {
            doc->RecordSet().CancelUpdate();
            IgnoreFailure([&] { doc->RecordSet().Close(); });
        } else {
            CloseRecordSet(gConnection, doc->RecordSet());
        }
        gDocCount = static_cast<short>(std::max(0, gDocCount - 1));
        EnabledControls();
    });
    ReleaseCloseKey(window);
    // New windows share one size and step down from the top left, each fully inside the area.
    // (While the frame is still hidden its area has no size yet; the area places the window
    // when it is shown.)
    if (mdiArea_->isVisible()) {
        QList<QPoint> taken;
        for (QMdiSubWindow *open : mdiArea_->subWindowList()) {
            if (open != window && !open->isMinimized() && !open->isMaximized()) {
                taken.append(open->pos());
            }
        }
        window->setGeometry(
            NewWindowPlace(mdiArea_->viewport()->rect(), window->contentsMargins().top(), taken));
    }
    window->show();
    mdiArea_->setActiveSubWindow(window);

    QFont font(Settings::Read(Settings::FontName));
    font.setPointSize(Settings::ReadInt(Settings::FontSize, 10));
    font.setBold(Settings::ReadBool(Settings::FontBold));
    font.setItalic(Settings::ReadBool(Settings::FontItalic));
    doc->txtQry()->setFont(font);
    doc->grdQry()->setFont(doc->txtQry()->font());

    ++gDocCount;
    EnabledControls();
    emit DocOpened(doc);
    return doc;
}

void frmMain::loadNewDocReported() {
    ReportFailure([&] { LoadNewDoc(); });
}

frmSQL *frmMain::ActiveDoc() const {
    QMdiSubWindow *window = mdiArea_->activeSubWindow();
    if (!window) {
        // Without focus (another application active) the last active window still counts.
        const QList<QMdiSubWindow *> windows =
            mdiArea_->subWindowList(QMdiArea::ActivationHistoryOrder);
        window = windows.isEmpty() ? nullptr : windows.last();
    }
    return window ? qobject_cast<frmSQL *>(window->widget()) : nullptr;
}

QList<frmSQL *> frmMain::Docs() const {
    QList<frmSQL *> docs;
    for (QMdiSubWindow *window : mdiArea_->subWindowList(QMdiArea::CreationOrder)) {
        if (auto *doc = qobject_cast<frmSQL *>(window->widget())) {
            docs.append(doc);
        }
    }
    return docs;
}

void frmMain::applyStoredPlacement() {
    const Twips twips(this);
    if (!Settings::IsStored(Settings::MainTop) && !Settings::IsStored(Settings::MainLeft) &&
        !Settings::IsStored(Settings::MainHeight) && !Settings::IsStored(Settings::MainWidth)) {
        // First run: a share of the screen that shows a useful part of a result.
        const QRect place = FirstRunPlace(screen()->availableGeometry());
        move(place.topLeft());
        storedOuterSize_ = place.size();
        applyOuterSize();
        applyStoredState();
        return;
    }
    const int top = Settings::ReadInt(Settings::MainTop, 0);
    const int left = Settings::ReadInt(Settings::MainLeft, 0);
    const int height = Settings::ReadInt(Settings::MainHeight, 0);
    const int width = Settings::ReadInt(Settings::MainWidth, 0);
    move(twips.toPixelsX(left), twips.toPixelsY(top));
    // Stored sizes are outer sizes; the frame's border is known only once the window is shown,
    // so the size is set again then.
    storedOuterSize_ = QSize(twips.toPixelsX(width), twips.toPixelsY(height));
    applyOuterSize();
    applyStoredState();
}

void frmMain::applyStoredState() {
    switch (Settings::ReadInt(Settings::MainState, 0)) {
        case 0:
            setWindowState(Qt::WindowNoState);
            break;
        case 1:
            setWindowState(Qt::WindowMinimized);
            break;
        case 2:
            setWindowState(Qt::WindowMaximized);
            break;
        default:
            throw MakeFailure(FailureNumber::InvalidArgument);
    }
}

void frmMain::applyOuterSize() {
    const QSize border = frameGeometry().size() - geometry().size();
    resize(storedOuterSize_ - border);
}

void frmMain::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (storedOuterSize_.isValid() && !placedOnScreen_) {
        placedOnScreen_ = true;
        if (windowState() == Qt::WindowNoState) {
            applyOuterSize();
            // A window manager frames the window only after it is shown; until then the
            // border reads as nothing, and the outer size would grow by the border each run.
            awaitingBorder_ = frameGeometry().size() == geometry().size();
        }
    }
}

void frmMain::moveEvent(QMoveEvent *event) {
    QMainWindow::moveEvent(event);
    if (awaitingBorder_ && frameGeometry().size() != geometry().size()) {
        awaitingBorder_ = false;
        if (windowState() == Qt::WindowNoState) {
            applyOuterSize();
        }
    }
}

void frmMain::storePlacement() {
    const Twips twips(this);
    const Qt::WindowStates state = windowState();
    if (!(state & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))) {
        const QRect outer = frameGeometry();
        Settings::Write(Settings::MainTop, TwipsToText(twips.toTwipsY(outer.top())));
        Settings::Write(Settings::MainLeft, TwipsToText(twips.toTwipsX(outer.left())));
        Settings::Write(Settings::MainHeight, TwipsToText(twips.toTwipsY(outer.height())));
        Settings::Write(Settings::MainWidth, TwipsToText(twips.toTwipsX(outer.width())));
    }
    const int stateCode = (state & Qt::WindowMinimized) ? 1 : (state & Qt::WindowMaximized) ? 2 : 0;
    Settings::Write(Settings::MainState, QString::number(stateCode));
    Settings::Write(Settings::QueryTimeout, QString::number(gCommand.CommandTimeout()));
}

void frmMain::closeEvent(QCloseEvent *event) {
    if (!closing_) {
        closing_ = true;
        IgnoreFailure([&] { storePlacement(); });
        // What runs is cancelled first; a driver that does not stop in time is left behind
        // with its connection, so that the program always ends.
        if (Working()) {
            if (run_) {
                run_->Cancel();
            }
            worker_.Cancel();
            if (!WaitUntilIdle(std::chrono::milliseconds(1500))) {
                leaveSilentDriver();
            }
        }
        mdiArea_->closeAllSubWindows();
    }
    event->accept();
}

void frmMain::fillWindowList() {
    qDeleteAll(windowListActions_);
    windowListActions_.clear();
    const QList<QMdiSubWindow *> windows = mdiArea_->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty()) {
        return;
    }
    windowListActions_.append(mnuWindow_->addSeparator());
    int number = 0;
    for (QMdiSubWindow *window : windows) {
        ++number;
        const QString prefix = number < 10 ? QStringLiteral("&%1 ").arg(number) : QString();
        QAction *action = mnuWindow_->addAction(prefix + window->windowTitle());
        action->setCheckable(true);
        action->setChecked(window == mdiArea_->activeSubWindow());
        connect(action, &QAction::triggered, this,
                [this, window] { mdiArea_->setActiveSubWindow(window); });
        windowListActions_.append(action);
    }
}

void frmMain::mnuFileNew_Click() {
    loadNewDocReported();
}

void frmMain::mnuWindowNewWindow_Click() {
    loadNewDocReported();
}

void frmMain::mnuFileEnd_Click() {
    close();
}

namespace {

QList<QMdiSubWindow *> ShownWindows(QMdiArea *area, bool minimised) {
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *window : area->subWindowList(QMdiArea::CreationOrder)) {
        if (window->isVisible() && window->isMinimized() == minimised) {
            windows.append(window);
        }
    }
    return windows;
}

void PlaceWindows(const QList<QMdiSubWindow *> &windows, const QList<QRect> &places) {
    for (qsizetype i = 0; i < windows.size(); ++i) {
        windows[i]->showNormal();
        windows[i]->setGeometry(places[i]);
    }
}

}  // namespace

void frmMain::mnuWindowCascade_Click() {
    QList<QMdiSubWindow *> windows = ShownWindows(mdiArea_, false);
    if (windows.isEmpty()) {
        return;
    }
    // The active window goes last, in front of the others, where nothing covers it.
    QMdiSubWindow *active = mdiArea_->activeSubWindow();
    if (active && windows.removeOne(active)) {
        windows.append(active);
    }
    const int titleBar = windows.first()->contentsMargins().top();
    PlaceWindows(windows,
                 CascadePlaces(mdiArea_->viewport()->rect(), int(windows.size()), titleBar));
    for (QMdiSubWindow *window : windows) {
        window->raise();
    }
    if (active) {
        mdiArea_->setActiveSubWindow(active);
    }
}

void frmMain::CloseActiveDoc() {
    if (frmSQL *doc = ActiveDoc()) {
        doc->parentWidget()->close();  // the window's close box does the same
    }
}

void frmMain::mnuWindowTileHorizontal_Click() {
    const QList<QMdiSubWindow *> windows = ShownWindows(mdiArea_, false);
    PlaceWindows(windows, TileStacked(mdiArea_->viewport()->rect(), int(windows.size())));
}

void frmMain::mnuWindowTileVertical_Click() {
    const QList<QMdiSubWindow *> windows = ShownWindows(mdiArea_, false);
    PlaceWindows(windows, TileSideBySide(mdiArea_->viewport()->rect(), int(windows.size())));
}

void frmMain::mnuWindowArrangeIcons_Click() {
    const QList<QMdiSubWindow *> icons = ShownWindows(mdiArea_, true);
    if (icons.isEmpty()) {
        return;
    }
    const QList<QRect> places =
        ArrangeIcons(mdiArea_->viewport()->rect(), icons.first()->size(), int(icons.size()));
    for (qsizetype i = 0; i < icons.size(); ++i) {
        icons[i]->move(places[i].topLeft());
    }
}
