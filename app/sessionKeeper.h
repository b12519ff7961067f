#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <chrono>
#include <memory>

#include "files/sessionFolder.h"
#include "files/sessionStore.h"
#include "files/sessionWriter.h"

class frmMain;
class frmSQL;

// Keeps every query window of the main window in this program's session file, so that nothing
// typed is lost by closing a window, ending the program or a crash: it writes the session a short
// delay after the last change and at every close, brings back the windows of ended programs at
// start-up, and keeps the last windows closed with unsaved text for reopening.
class SessionKeeper : public QObject {
    Q_OBJECT
public:
    // How many closed windows are kept.
    static constexpr int kClosedKept = 20;

    // The delay from the first unsaved change to its write: with the write itself it stays
    // under the 2 s of typing that a crash may lose.
    static constexpr std::chrono::milliseconds kSaveDelay{1500};

    // Watches the main window's query windows (those opened from now on). Throws Failure when
    // the session folder cannot be used.
    SessionKeeper(frmMain &mainWindow, const QString &folder,
                  std::chrono::milliseconds delay = kSaveDelay);
    // Writes what changed and waits for the writer.
    ~SessionKeeper() override;

    // The session folder in the user's state folder (XDG_STATE_HOME, else ~/.local/state).
    static QString DefaultFolder();

    // Opens the windows of the sessions that ended programs left (text shown, never run) and takes
    // over their closed windows. Damaged session files are set aside with one information box.
    // Returns the number of windows opened.
    int Restore();
    // Opens the window closed last again; nothing when none is kept.
    void ReopenClosedDoc();
    const QList<SessionWindow> &ClosedDocs() const { return closed_; }

    // Writes the session now when anything changed since the last write.
    void SaveIfChanged();
    // Waits until every write is on the disk.
    void Flush() { writer_.Flush(); }
    QString SessionPath() const { return folder_.SessionPath(); }
    int Writes() const { return writer_.Writes(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watch(frmSQL *doc);
    void changed();
    void docClosed(frmSQL *doc);
    void save();
    void openWindow(const SessionWindow &window);
    void keepLastClosed();
    void updateReopenCommand();
    void writeFailed(const QString &description);

    frmMain &main_;
    SessionFolder folder_;
    SessionWriter writer_;
    QTimer delay_;
    QList<QPointer<frmSQL>> docs_;  // the open windows, in the order they were opened
    QList<SessionWindow> closed_;   // oldest first
    bool dirty_ = false;
    bool programClosing_ = false;
    bool failureShown_ = false;
};

// The state of a query window as the session keeps it. With rawText the text is the editor's
// RawText, to be turned with QueryEditor::TextFromRaw off the user-interface thread.
SessionWindow CaptureWindow(const frmSQL &doc, bool rawText = false);
// Shows a kept state in a query window: text, file and format, caption (an untitled window keeps
// the caption it was given), font, caret and scroll position.
void ApplyWindow(frmSQL &doc, const SessionWindow &window);
