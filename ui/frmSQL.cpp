#include "ui/frmSQL.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHeaderView>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QTableView>

#include "core/clsMsg.h"
#include "core/failure.h"
#include "engines/clsEditColor.h"
#include "ui/queryEditor.h"
#include "ui/resultModel.h"
#include "ui/twips.h"

namespace {

const QString kUntitled = QStringLiteral("無題");
constexpr int kBarWidthShrink = 20;
constexpr short kTabSpaces = 4;
// A column of the grid takes at most this share of the grid's width (1/3).
constexpr int kWidestColumnShare = 3;
// Digits that a column can always show whole, however narrow the grid (a 64-bit integer has 19).
constexpr int kNumberDigits = 24;

// Stops a widget from painting while it is rewritten, and repaints it once afterwards.
class DrawingSuspended {
public:
    explicit DrawingSuspended(QWidget *widget)
        : widget_(widget), wasEnabled_(widget->updatesEnabled()) {
        widget_->setUpdatesEnabled(false);
    }
    ~DrawingSuspended() { widget_->setUpdatesEnabled(wasEnabled_); }
    DrawingSuspended(const DrawingSuspended &) = delete;
    DrawingSuspended &operator=(const DrawingSuspended &) = delete;

private:
    QWidget *widget_;
    bool wasEnabled_;
};

}  // namespace

QString UntitledCaption(int docNumber) {
    return kUntitled + QString::number(docNumber);
}

frmSQL::frmSQL(int docNumber, QWidget *parent)
    : QWidget(parent),
      mDocNumber(docNumber),
      txtQry_(new QueryEditor(this)),
      grdQry_(new QTableView(this)),
      imgSplitter_(new QWidget(this)),
      picSplitter_(new QFrame(this)) {
    setObjectName(QStringLiteral("frmSQL"));
    if (docNumber > 0) {
        setCaption(UntitledCaption(docNumber));
    }
    txtQry_->setObjectName(QStringLiteral("txtQry"));
    grdQry_->setObjectName(QStringLiteral("grdQry"));
    grdQry_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdQry_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdQry_->setSelectionMode(QAbstractItemView::SingleSelection);
    // A value wider than its column shows its start and "…", on one line.
    grdQry_->setWordWrap(false);
    grdQry_->setTextElideMode(Qt::ElideRight);

    imgSplitter_->setObjectName(QStringLiteral("imgSplitter"));
    imgSplitter_->setCursor(Qt::SizeVerCursor);
    imgSplitter_->installEventFilter(this);
    picSplitter_->setObjectName(QStringLiteral("picSplitter"));
    picSplitter_->setAutoFillBackground(true);
    QPalette grey = picSplitter_->palette();
    grey.setColor(QPalette::Window, QColor(128, 128, 128));
    picSplitter_->setPalette(grey);
    picSplitter_->hide();

    panes_.gridTop = panes_.editorHeight + kPaneGap;
    connect(txtQry_, &QPlainTextEdit::textChanged, this, &frmSQL::txtQry_Change);
    connect(txtQry_, &QueryEditor::linesShowing, this, &frmSQL::colorShownLines);
}

void frmSQL::ShowBusy(bool busy) {
    if (busy && ownCursors_.empty()) {
        for (QWidget *widget : {static_cast<QWidget *>(this), txtQry_->viewport(),
                                static_cast<QWidget *>(grdQry_->viewport())}) {
            ownCursors_.emplace_back(widget, widget->testAttribute(Qt::WA_SetCursor)
                                                 ? std::optional(widget->cursor())
                                                 : std::nullopt);
            // The arrow with the hourglass: the window can still be scrolled and edited.
            widget->setCursor(Qt::BusyCursor);
        }
    } else if (!busy) {
        for (auto &[widget, own] : ownCursors_) {
            if (widget && own) {
                widget->setCursor(*own);
            } else if (widget) {
                widget->unsetCursor();
            }
        }
        ownCursors_.clear();
    }
}

void frmSQL::BindGrid() {
    widestCells_.Reset(recordSet_.State() == Recordset::StateOpen ? recordSet_.FieldCount() : 0);
    if (model_) {
        model_->setRecordset(&recordSet_);
        showCurrentRow();
        FitColumns();
        return;
    }
    model_ = new ResultModel(this);
    model_->setRecordset(&recordSet_);
    grdQry_->setModel(model_);
    // Connected after the model's own connections, so that the rows are there to select.
    connect(&recordSet_, &Recordset::currentRowChanged, this, &frmSQL::showCurrentRow);
    connect(&recordSet_, &Recordset::opened, this, &frmSQL::showCurrentRow);
    connect(grdQry_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid() && current.row() != recordSet_.AbsolutePosition()) {
                    IgnoreFailure([&] { recordSet_.setAbsolutePosition(current.row()); });
                }
            });
    showCurrentRow();
    FitColumns();
}

// Each column as wide as its name and its widest value so far, but never wider than a third of
// the grid (or than a long number in a narrow grid), so that one long value cannot push the other
// columns off the screen; a longer value is cut short with "…". Only the rows not seen before are
// read, and only the widest cell of each column is measured with the font.
void frmSQL::FitColumns(const WidestCells &arrived) {
    widestCells_.Merge(arrived);
    FitColumns();
}

void frmSQL::FitColumns() {
    widestCells_.Add(recordSet_);
    // In a narrow grid a third would cut even ordinary numbers short: a column may always
    // take the room of kNumberDigits digits.
    const int numberWidth =
        grdQry_->fontMetrics().horizontalAdvance(QString(kNumberDigits, QLatin1Char('0')));
    const int cap = std::max(grdQry_->viewport()->width() / kWidestColumnShare, numberWidth);
    const int gridLine = grdQry_->showGrid() ? 1 : 0;
    for (int column = 0; column < model_->columnCount(); ++column) {
        int width = grdQry_->horizontalHeader()->sectionSizeHint(column);
        if (const qsizetype row = widestCells_.Row(column); row >= 0 && row < model_->rowCount()) {
            width =
                std::max(width, grdQry_->sizeHintForIndex(model_->index(int(row), column)).width() +
                                    gridLine);
        }
        grdQry_->setColumnWidth(column, std::min(width, cap));
    }
}

// Selects the recordset's current row; at BOF or EOF nothing is selected.
void frmSQL::showCurrentRow() {
    const qsizetype row = recordSet_.AbsolutePosition();
    if (row < 0) {
        grdQry_->clearSelection();
        grdQry_->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        return;
    }
    grdQry_->selectRow(static_cast<int>(row));
}

bool frmSQL::IsUntitled() const {
    return Caption().startsWith(kUntitled);
}

// The window's outer height: the frame of the MDI child around it when there is one.
int frmSQL::outerHeight() const {
    const auto *frame = qobject_cast<const QMdiSubWindow *>(parentWidget());
    return Twips(this).toTwipsRoundedY(frame ? frame->height() : height());
}

// Closing is never refused. It runs once, however the window is closed: whoever owns the
// connection ends its result first (Closed), then the window lets go of what is left of it.
void frmSQL::closeEvent(QCloseEvent *event) {
    QWidget::closeEvent(event);
    if (closed_) {
        return;
    }
    closed_ = true;
    emit Closed();
    IgnoreFailure([this] { recordSet_.Close(); });
}

void frmSQL::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    LayoutPanes(panes_.handleTop, LayoutMode::Resized);
}

void frmSQL::LayoutPanes(double y, LayoutMode mode) {
    panes_ = ::LayoutPanes(panes_, y, mode, outerHeight(), Twips(this).toTwipsRoundedY(height()));
    applyPanes();
}

void frmSQL::applyPanes() {
    const Twips twips(this);
    const int width = this->width();
    txtQry_->setGeometry(0, 0, width, twips.toPixelsRoundedY(panes_.editorHeight));
    grdQry_->setGeometry(0, twips.toPixelsRoundedY(panes_.gridTop), width,
                         twips.toPixelsRoundedY(panes_.gridHeight));
    imgSplitter_->setGeometry(0, twips.toPixelsRoundedY(panes_.handleTop), width,
                              twips.toPixelsRoundedY(kHandleHeight));
    imgSplitter_->raise();
    picSplitter_->raise();
}

bool frmSQL::eventFilter(QObject *watched, QEvent *event) {
    if (watched == imgSplitter_) {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
                imgSplitter_MouseDown();
                return true;
            case QEvent::MouseMove:
                imgSplitter_MouseMove(
                    static_cast<int>(static_cast<QMouseEvent *>(event)->position().y()));
                return true;
            case QEvent::MouseButtonRelease:
                imgSplitter_MouseUp();
                return true;
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmSQL::imgSplitter_MouseDown() {
    const Twips twips(this);
    barTop_ = panes_.handleTop;
    const int barHeight = kHandleHeight / 2;
    const int barWidth = twips.toTwipsRoundedY(imgSplitter_->width()) - kBarWidthShrink;
    picSplitter_->setGeometry(0, twips.toPixelsRoundedY(barTop_), twips.toPixelsRoundedY(barWidth),
                              twips.toPixelsRoundedY(barHeight));
    picSplitter_->show();
    picSplitter_->raise();
    splitterDragging_ = true;
}

void frmSQL::imgSplitter_MouseMove(int y) {
    if (!splitterDragging_) {
        return;
    }
    const Twips twips(this);
    const int pos = panes_.handleTop + twips.toTwipsRoundedY(y);
    barTop_ = SplitterBarTop(pos, outerHeight());
    picSplitter_->move(0, twips.toPixelsRoundedY(barTop_));
}

void frmSQL::imgSplitter_MouseUp() {
    if (!splitterDragging_) {
        return;
    }
    LayoutPanes(barTop_, LayoutMode::SplitterReleased);
    picSplitter_->hide();
    splitterDragging_ = false;
}

// Colours what each change touched, with the colours of the whole text. The engine may rewrite
// the text (tabs become spaces); that write raises the change signal again, which the guard lets
// pass. A failing engine shows its box once, not at every key press, and leaves the text as
// typed.
void frmSQL::txtQry_Change() {
    if (coloring_) {
        return;
    }
    const QScopedValueRollback guard(coloring_, true);
    const DrawingSuspended suspended(txtQry_);
    const int caret = txtQry_->SelStart();
    clsEditColor engine(colorKeywordFile_);
    engine.setTabSpaceNum(kTabSpaces);
    engine.setKeywordCache(&colorKeywords_);
    engine.setFailureHandler([&](const Failure &failure) {
        if (colorFailures_.Admit(engine.KeywordFile())) {
            ShowKeywordEngineError(failure);
        }
    });
    const std::optional<int> moved = txtQry_->ColorChangedLines(engine, colorKeywords_, caret);
    if (!moved) {
        txtQry_->ClearColors();
        txtQry_->setSelStart(caret);
        return;
    }
    colorFailures_.Reset();
    // The caret stays after the spaces that replaced each tab before it.
    txtQry_->setSelStart(*moved);
}

// Lines coming into view are coloured before they are painted. A failing engine shows nothing
// here, in the middle of a paint: the next change reports it and clears the colours.
void frmSQL::colorShownLines() {
    if (coloring_) {
        return;
    }
    const QScopedValueRollback guard(coloring_, true);
    clsEditColor engine(colorKeywordFile_);
    engine.setTabSpaceNum(kTabSpaces);
    engine.setKeywordCache(&colorKeywords_);
    engine.setFailureHandler([](const Failure &) {});
    txtQry_->ColorShownLines(engine, colorKeywords_);
}
