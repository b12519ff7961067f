#include "app/sessionKeeper.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTableView>

#include <algorithm>

#include "app/frmMain.h"
#include "core/clsMsg.h"
#include "core/failure.h"
#include "files/basSqlFile.h"
#include "ui/frmSQL.h"
#include "ui/queryEditor.h"

namespace {

QString SetAsideText(const QStringList &paths) {
    return QStringLiteral(
               "前回の作業内容を保存したファイルが壊れているため、読み込めませんでした。\n"
               "ファイルは次の名前で残してあります。\n\n%1")
        .arg(paths.join(QLatin1Char('\n')));
}

// The file format a restored window writes its file in: the file's own bytes when the file still
// holds the text (so that saving it unchanged writes it unchanged), otherwise the kept encoding
// and line breaks.
std::optional<SqlFileFormat> RestoredFormat(const SessionWindow &window) {
    if (!window.encoding) {
        return std::nullopt;
    }
    const QFileInfo file(window.filePath);
    if (file.isFile() && file.isReadable()) {
        SqlFileFormat onDisk;
        const std::optional<QString> text = ReadSqlFile(window.filePath, &onDisk);
        if (text && *text == window.text && !text->isEmpty()) {
            return onDisk;
        }
    }
    return SqlFileFormat{*window.encoding, window.lineEnd, {}};
}

}  // namespace

SessionWindow CaptureWindow(const frmSQL &doc, bool rawText) {
    const QueryEditor *editor = doc.txtQry();
    SessionWindow window;
    window.text = rawText ? editor->RawText() : editor->Text();
    window.caption = doc.Caption();
    window.filePath = doc.IsUntitled() ? QString() : doc.Caption();
    if (doc.FileFormat()) {
        window.encoding = doc.FileFormat()->encoding;
        window.lineEnd = doc.FileFormat()->lineEnd;
    }
    window.caret = editor->SelStart();
    window.verticalScroll = editor->verticalScrollBar()->value();
    window.horizontalScroll = editor->horizontalScrollBar()->value();
    const QFont font = editor->font();
    window.fontFamily = font.family();
    window.fontPointSize = std::max(0.0, font.pointSizeF());
    window.fontBold = font.bold();
    window.fontItalic = font.italic();
    return window;
}

void ApplyWindow(frmSQL &doc, const SessionWindow &window) {
    QueryEditor *editor = doc.txtQry();
    if (!window.filePath.isEmpty()) {
        doc.setCaption(window.filePath);
    }
    doc.setFileFormat(RestoredFormat(window));
    if (!window.fontFamily.isEmpty()) {
        QFont font(window.fontFamily);
        if (window.fontPointSize > 0) {
            font.setPointSizeF(window.fontPointSize);
        }
        font.setBold(window.fontBold);
        font.setItalic(window.fontItalic);
        editor->setFont(font);
        doc.grdQry()->setFont(font);
    }
    editor->setText(window.text);
    editor->setSelStart(window.caret);
    editor->verticalScrollBar()->setValue(window.verticalScroll);
    editor->horizontalScrollBar()->setValue(window.horizontalScroll);
}

SessionKeeper::SessionKeeper(frmMain &mainWindow, const QString &folder,
                             std::chrono::milliseconds delay)
    : main_(mainWindow), folder_(folder), writer_([this](const Failure &failure) {
          // From the writer's thread to this one; dropped if the keeper is gone by then.
          QMetaObject::invokeMethod(
              this, [this, description = failure.description] { writeFailed(description); },
              Qt::QueuedConnection);
      }) {
    delay_.setSingleShot(true);
    delay_.setInterval(delay);
    connect(&delay_, &QTimer::timeout, this, &SessionKeeper::SaveIfChanged);
    connect(&main_, &frmMain::DocOpened, this, &SessionKeeper::watch);
    connect(&main_, &frmMain::ReopenClosedDocRequested, this, &SessionKeeper::ReopenClosedDoc);
    main_.installEventFilter(this);
    for (frmSQL *doc : main_.Docs()) {
        watch(doc);
    }
    updateReopenCommand();
}

SessionKeeper::~SessionKeeper() {
    main_.removeEventFilter(this);
    SaveIfChanged();
    writer_.Flush();
}

QString SessionKeeper::DefaultFolder() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state)) {
        state = QDir::homePath() + QStringLiteral("/.local/state");
    }
    return state + QStringLiteral("/Tessory/sessions");
}

void SessionKeeper::watch(frmSQL *doc) {
    docs_.append(doc);
    QueryEditor *editor = doc->txtQry();
    connect(editor, &QPlainTextEdit::textChanged, this, &SessionKeeper::changed);
    connect(editor, &QPlainTextEdit::cursorPositionChanged, this, &SessionKeeper::changed);
    connect(editor->verticalScrollBar(), &QScrollBar::valueChanged, this, &SessionKeeper::changed);
    connect(editor->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &SessionKeeper::changed);
    connect(doc, &QWidget::windowTitleChanged, this, &SessionKeeper::changed);
    connect(doc, &frmSQL::Closed, this, [this, doc] { docClosed(doc); });
    editor->installEventFilter(this);
}

// The first change after a write starts the clock; later changes do not move it, so that what
// is typed reaches the disk within the delay even while the typing goes on.
void SessionKeeper::changed() {
    dirty_ = true;
    if (!delay_.isActive() && !programClosing_) {
        delay_.start();
    }
}

bool SessionKeeper::eventFilter(QObject *watched, QEvent *event) {
    if (watched == &main_ && event->type() == QEvent::Close && !programClosing_) {
        // The windows are about to close with the program: they stay in the session as they
        // are now, for the next start, and do not count as closed by the user.
        save();
        programClosing_ = true;
    } else if (event->type() == QEvent::FontChange && qobject_cast<QueryEditor *>(watched)) {
        changed();
    }
    return QObject::eventFilter(watched, event);
}

void SessionKeeper::docClosed(frmSQL *doc) {
    if (programClosing_) {
        return;
    }
    SessionWindow window = CaptureWindow(*doc);
    docs_.removeAll(doc);
    // A window whose text its file holds loses nothing by closing.
    if (!window.text.isEmpty() && !FileHoldsText(doc->FileFormat(), window.text)) {
        window.closedAt = QDateTime::currentMSecsSinceEpoch();
        closed_.append(window);
        keepLastClosed();
        updateReopenCommand();
    }
    save();
}

void SessionKeeper::SaveIfChanged() {
    if (dirty_) {
        save();
    }
}

void SessionKeeper::save() {
    delay_.stop();
    dirty_ = false;
    Session session;
    QMdiSubWindow *active = main_.mdiArea()->activeSubWindow();
    for (const QPointer<frmSQL> &doc : std::as_const(docs_)) {
        if (doc) {
            if (active && doc->parentWidget() == active) {
                session.activeWindow = int(session.windows.size());
            }
            session.windows.append(CaptureWindow(*doc, true));
        }
    }
    session.closed = closed_;
    // The texts' line breaks, the encoding and the writing are done on the writer's thread.
    writer_.Submit(folder_.SessionPath(), [session]() mutable {
        for (SessionWindow &window : session.windows) {
            window.text = QueryEditor::TextFromRaw(std::move(window.text));
        }
        return EncodeSession(session);
    });
}

void SessionKeeper::openWindow(const SessionWindow &window) {
    frmSQL *doc = main_.LoadNewDoc();
    ApplyWindow(*doc, window);
}

int SessionKeeper::Restore() {
    const SessionFolder::Leftovers leftovers = folder_.TakeOver();
    if (!leftovers.setAside.isEmpty()) {
        clsMsg().ShowInformation(SetAsideText(leftovers.setAside));
    }
    int opened = 0;
    frmSQL *active = nullptr;
    for (const Session &session : leftovers.sessions) {
        for (qsizetype i = 0; i < session.windows.size(); ++i) {
            openWindow(session.windows[i]);
            ++opened;
            if (i == session.activeWindow) {
                active = docs_.last();
            }
        }
        closed_.append(session.closed);
    }
    std::stable_sort(
        closed_.begin(), closed_.end(),
        [](const SessionWindow &a, const SessionWindow &b) { return a.closedAt < b.closedAt; });
    keepLastClosed();
    if (active) {
        main_.mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(active->parentWidget()));
    }
    updateReopenCommand();
    if (!leftovers.sessions.isEmpty()) {
        // The taken files go only once their windows are on the disk in this session.
        save();
        writer_.Flush();
        folder_.DropTaken();
    }
    return opened;
}

void SessionKeeper::ReopenClosedDoc() {
    if (closed_.isEmpty()) {
        return;
    }
    const SessionWindow window = closed_.takeLast();
    if (!ReportFailure([&] { openWindow(window); })) {
        closed_.append(window);
    }
    updateReopenCommand();
    save();
}

// Told once per run: a box at every write would interrupt the typing every few seconds.
void SessionKeeper::writeFailed(const QString &description) {
    if (!failureShown_) {
        failureShown_ = true;
        clsMsg().ShowError(
            QStringLiteral(
                "作業内容を保存できません。このままではクラッシュ時に入力内容が失われます。\n") +
            description);
    }
}

// Only the windows closed last are kept, kClosedKept of them.
void SessionKeeper::keepLastClosed() {
    if (closed_.size() > kClosedKept) {
        closed_.remove(0, closed_.size() - kClosedKept);
    }
}

void SessionKeeper::updateReopenCommand() {
    if (auto *action = main_.findChild<QAction *>(QStringLiteral("mnuFileReopenClosed"))) {
        action->setEnabled(!closed_.isEmpty());
    }
}
