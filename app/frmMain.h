#pragma once

#include <QMainWindow>
#include <QPointer>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

#include "data/connectionWorker.h"

class QAction;
class QComboBox;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class QTimer;
class QueryRun;
struct TableList;
class frmSQL;

// The texts of status panel "MESSAGE" while and after a run.
namespace RunStatus {
inline const QString Running = QStringLiteral("クエリ バッチ実行中･･･");
inline const QString Done = QStringLiteral("クエリ バッチが完了しました。");
inline const QString Failed = QStringLiteral("クエリ バッチはエラーで完了しました。");
}  // namespace RunStatus

// The main window: a frame of query windows with the menu bar, the main toolbar, the result
// toolbar with the table list, and the status bar. Every command enters here and is handed to
// the procedure that carries it out.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // Opens a new query window captioned "無題" + running number, with the stored font.
    // Throws Failure on overflow of the counters.
    frmSQL *LoadNewDoc();
    // Enables the commands that need a query window exactly while one is open.
    void EnabledControls();
    // The active query window, or nullptr.
    frmSQL *ActiveDoc() const;
    QList<frmSQL *> Docs() const;

    // Status-bar panels by key: "MESSAGE" and "DSN".
    void SetPanelText(const QString &key, const QString &text);
    QString PanelText(const QString &key) const;
    // Panel "DSN": the data source of the connection while it is open, empty while it is
    // closed (after a failed attempt the last source's name would name no connection).
    void ShowDataSource();

    // The folder of the keyword files that the formatter and the colouring of query windows
    // opened from now on read. Empty (the default): the folder of the executable.
    void setKeywordFolder(const QString &folder) { keywordFolder_ = folder; }

    QComboBox *cboTable() const { return cboTable_; }
    QMdiArea *mdiArea() const { return mdiArea_; }

    // Routes a key of the main toolbar to its menu command; other keys do nothing.
    void tlbMain_ButtonClick(const QString &key);
    // Moves the active window's result as a key of the result toolbar says.
    void tlbGrid_ButtonClick(const QString &key);

    // Reads a .sql file into the query window, which takes its name and encoding.
    void LoadSqlFile(frmSQL *doc, const QString &path);

    // Fills the table list from the connection (hidden while it is closed), on the worker.
    void SetCboTable();
    // The thread that makes every ODBC call of a run, an export and the table list.
    ConnectionWorker &Worker() { return worker_; }
    // A run of a query window (or the run of an export) is under way: the commands that need
    // the connection wait, Cancel is enabled.
    bool Busy() const;
    // The run of a query window under way, or nullptr.
    QueryRun *CurrentRun() const { return run_; }
    // Handles events until nothing runs on the connection (a run or a job of the worker, such
    // as the table list) or `limit` has passed; true when nothing runs.
    bool WaitUntilIdle(std::chrono::milliseconds limit);
    // Fills the table list anew when the text the window ran may have created, dropped, altered
    // or renamed tables.
    void RefreshTableListAfterRun(frmSQL *doc);

signals:
    // A query window has been opened (LoadNewDoc).
    void DocOpened(frmSQL *doc);
    // The user asked for the query window closed last: whoever keeps closed windows opens it.
    void ReopenClosedDocRequested();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

public slots:
    void mnuFileConnect_Click();
    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileSave_Click();
    void mnuFileEnd_Click();
    void mnuFileReopenClosed_Click() { emit ReopenClosedDocRequested(); }
    void mnuQryExec_Click();
    void mnuQryCancel_Click();
    void mnuQryArrange_Click();
    void mnuQryTimeout_Click();
    void AskSearchWord();
    void mnuEditSearch_Click();
    void mnuEditResearch_Click();
    void mnuEditAll_Click();
    void mnuFontFont_Click();
    void mnuToolExcel_Click();
    void mnuWindowNewWindow_Click();
    void mnuWindowCascade_Click();
    void mnuWindowTileHorizontal_Click();
    void mnuWindowTileVertical_Click();
    void mnuWindowArrangeIcons_Click();
    void mnuHelpVersion_Click();
    // Ctrl+F4: closes the active query window as its close box does.
    void CloseActiveDoc();
    void cboTable_Click(int index);

private:
    void buildMenus();
    void buildToolbars();
    void buildStatusBar();
    void fillWindowList();
    void applyStoredPlacement();
    void storePlacement();
    void applyOuterSize();
    void applyStoredState();
    // Runs LoadNewDoc for a menu command, reporting its failure.
    void loadNewDocReported();
    // The active query window, opening one first when none is open (nullptr if that failed).
    frmSQL *activeOrNewDoc();
    // Selects the next occurrence of the search word from a 1-based position of the text.
    void findFrom(int start);
    // The path of the keyword file `fileName` in the keyword folder; empty for the engine's
    // default beside the executable.
    QString keywordFile(const QString &fileName) const;
    // Runs the window's text batch by batch on the worker; `then` follows on this thread with
    // whether every batch ran. False (after a box) when nothing could be started.
    bool StartRun(frmSQL *doc, std::function<void(frmSQL *doc, bool ran)> then);
    void setUpRunTimers();
    // A run, or any job of the worker.
    bool Working() const;
    // Asked when a cancelled run has not stopped within a few seconds: whether to give up the
    // connection, whose driver does not answer.
    void askToDropConnection();
    // Leaves the job whose driver does not answer, with the connection it runs on.
    void leaveSilentDriver();
    void showTableList(const TableList &list);
    // Writes the window's result to a workbook on the worker, with a progress dialog.
    void StartExport(frmSQL &doc);

    QMdiArea *mdiArea_;
    QComboBox *cboTable_ = nullptr;
    QAction *cboTableAction_ = nullptr;
    bool tableListSqlServer_ = false;  // the list holds SQL Server's plain table names
    QMenu *mnuWindow_ = nullptr;
    QList<QAction *> windowListActions_;
    int mDocNumber_ = 0;
    bool closing_ = false;
    QSize storedOuterSize_;
    bool placedOnScreen_ = false;
    bool awaitingBorder_ = false;
    QString keywordFolder_;
    QueryRun *run_ = nullptr;  // deleted once it has finished
    QTimer *progressTimer_ = nullptr;
    QTimer *stuckTimer_ = nullptr;
    std::shared_ptr<std::atomic<bool>> exportCancel_;  // set while an export is written
    // Declared last, so that it ends (or gives up) its jobs before anything they report to.
    ConnectionWorker worker_;
};
