#pragma once

#include <QDialog>

#include <cstdint>

class QLabel;
class QProgressBar;
class QPushButton;

// Shows that an export runs, how many rows it has written, and offers to cancel it. It does not
// block the window behind it: the export runs elsewhere and reports through SetRowsWritten.
// Cancel, Escape and the window's close button only ask for the cancel; the owner closes the
// dialog with accept() once the export has ended.
class ExportProgressDialog : public QDialog {
    Q_OBJECT

public:
    // `totalRows` fills the bar; 0 or less when the count is unknown (a busy bar).
    explicit ExportProgressDialog(std::int64_t totalRows = 0, QWidget *parent = nullptr);

    // The rows written so far.
    void SetRowsWritten(std::int64_t rows);
    // Whether the user has asked to cancel.
    bool CancelRequested() const { return cancelRequested_; }

signals:
    // The user asked to cancel (the button, Escape or closing the window); emitted once.
    void cancelRequested();

protected:
    void reject() override;

private:
    void showRows();

    std::int64_t totalRows_;
    std::int64_t rowsWritten_ = 0;
    bool cancelRequested_ = false;
    QLabel *lblRows_;
    QProgressBar *barRows_;
    QPushButton *cmdCancel_;
};
