#pragma once

#include <QCursor>
#include <QPointer>
#include <QWidget>

#include "data/recordset.h"
#include "data/widestCells.h"
#include "engines/colorFailureGate.h"
#include "engines/colorKeywordCache.h"
#include "files/basSqlFile.h"
#include "ui/paneLayout.h"

#include <optional>
#include <utility>
#include <vector>

class QFrame;
class QTableView;
class QueryEditor;
class ResultModel;

// A query window: the query editor txtQry above the result grid grdQry, with a splitter
// handle between them that the user drags to share the height. Every change of the text is
// coloured at once by the colouring engine.
class frmSQL : public QWidget {
    Q_OBJECT

public:
    // A window numbered n (n > 0) is captioned "無題" followed by n.
    explicit frmSQL(int docNumber = 0, QWidget *parent = nullptr);

    QueryEditor *txtQry() const { return txtQry_; }
    QTableView *grdQry() const { return grdQry_; }

    // The window's result: one recordset for the window's whole life, reopened by every run.
    Recordset &RecordSet() { return recordSet_; }

    // Shows the window's result in the grid (after a run): every row, the field names as
    // headers, the recordset's current row selected; selecting a row moves the current row.
    void BindGrid();
    // Sizes the grid's columns to the rows fetched so far (each at most a third of the grid);
    // reads only the rows it has not seen, so it can be called again as more rows arrive.
    void FitColumns();
    // The same, for rows that have just arrived and whose widest cells were found already
    // (where they were fetched): nothing is read again.
    void FitColumns(const WidestCells &arrived);

    // Shows the busy pointer over this window alone while its run lasts; false gives the
    // window its own pointers back.
    void ShowBusy(bool busy);

    // The window's running number, given when it was made; it never changes.
    int DocNumber() const { return mDocNumber; }

    // The caption: "無題" and a number for a new window, the file's path once saved or opened.
    QString Caption() const { return windowTitle(); }
    void setCaption(const QString &caption) { setWindowTitle(caption); }
    bool IsUntitled() const;

    // The encoding and line breaks of the window's file, as it was read or last written;
    // nothing for new text.
    const std::optional<SqlFileFormat> &FileFormat() const { return fileFormat_; }
    void setFileFormat(std::optional<SqlFileFormat> format) { fileFormat_ = std::move(format); }

    // The colour keyword file; empty (the default) for the one beside the executable.
    void setColorKeywordFile(const QString &path) { colorKeywordFile_ = path; }

    // The pane layout in twips, as last applied.
    const PaneLayout &Panes() const { return panes_; }
    bool SplitterDragging() const { return splitterDragging_; }

signals:
    // The window has closed its result and left the count of open windows; the main window
    // recomputes its commands.
    void Closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void txtQry_Change();
    void colorShownLines();
    void showCurrentRow();
    void LayoutPanes(double y, LayoutMode mode);
    void applyPanes();
    void imgSplitter_MouseDown();
    void imgSplitter_MouseMove(int y);
    void imgSplitter_MouseUp();
    int outerHeight() const;

    int mDocNumber;
    Recordset recordSet_;
    ResultModel *model_ = nullptr;
    WidestCells widestCells_;
    QueryEditor *txtQry_;
    QTableView *grdQry_;
    QWidget *imgSplitter_;
    QFrame *picSplitter_;
    PaneLayout panes_;
    int barTop_ = 0;  // twips
    bool splitterDragging_ = false;
    bool coloring_ = false;
    bool closed_ = false;
    QString colorKeywordFile_;
    ColorFailureGate colorFailures_;
    ColorKeywordCache colorKeywords_;
    std::optional<SqlFileFormat> fileFormat_;
    // While busy: each widget under the pointer and the pointer it had set of its own.
    std::vector<std::pair<QPointer<QWidget>, std::optional<QCursor>>> ownCursors_;
};

// The caption of a new query window.
QString UntitledCaption(int docNumber);
