#pragma once

#include <QDialog>

// The version dialog: title, version and a link to the project's web page.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget *parent = nullptr);

    static QString VersionText();
    static QString WebPage();
};
