#pragma once

#include <QMainWindow>

class QMdiArea;

// The main window: a frame of query windows with the menus, toolbars and status bar.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget *parent = nullptr);

private:
    QMdiArea *mdiArea_;
};
