#include "ui/exportProgressDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// A progress bar counts in int: large counts are shown in thousandths of the total.
constexpr int kBarSteps = 1000;

QString RowsText(std::int64_t rows) {
    return QStringLiteral("%1 行を出力しました")
        .arg(QLocale(QLocale::English, QLocale::UnitedStates).toString(qint64(rows)));
}

}  // namespace

ExportProgressDialog::ExportProgressDialog(std::int64_t totalRows, QWidget *parent)
    : QDialog(parent), totalRows_(totalRows) {
    setObjectName(QStringLiteral("frmExportProgress"));
    setWindowTitle(QStringLiteral("Excel へ出力"));
    setWindowModality(Qt::NonModal);

    auto *lblMsg = new QLabel(QStringLiteral("Excel へ出力しています…"), this);
    lblMsg->setObjectName(QStringLiteral("lblMsg"));
    lblRows_ = new QLabel(RowsText(0), this);
    lblRows_->setObjectName(QStringLiteral("lblRows"));
    barRows_ = new QProgressBar(this);
    barRows_->setObjectName(QStringLiteral("barRows"));
    barRows_->setTextVisible(false);
    barRows_->setRange(0, totalRows_ > 0 ? kBarSteps : 0);
    barRows_->setValue(0);
    cmdCancel_ = new QPushButton(QStringLiteral("キャンセル"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(cmdCancel_, QDialogButtonBox::RejectRole);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblMsg);
    layout->addWidget(barRows_);
    layout->addWidget(lblRows_);
    layout->addWidget(buttons);
    connect(cmdCancel_, &QPushButton::clicked, this, &ExportProgressDialog::reject);
    setMinimumWidth(320);
}

void ExportProgressDialog::SetRowsWritten(std::int64_t rows) {
    rowsWritten_ = rows;
    showRows();
    if (totalRows_ > 0) {
        const std::int64_t share = std::clamp<std::int64_t>(rows, 0, totalRows_) * kBarSteps;
        barRows_->setValue(int(share / totalRows_));
    }
}

// Escape, the close button and Cancel ask the export to stop; the dialog stays open until the
// export has ended and its owner closes it, so that the user sees that it is stopping.
void ExportProgressDialog::reject() {
    if (cancelRequested_) {
        return;
    }
    cancelRequested_ = true;
    cmdCancel_->setEnabled(false);
    showRows();
    emit cancelRequested();
}

void ExportProgressDialog::showRows() {
    lblRows_->setText(cancelRequested_
                          ? RowsText(rowsWritten_) + QStringLiteral(" (キャンセルしています…)")
                          : RowsText(rowsWritten_));
}
