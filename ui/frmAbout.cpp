#include "ui/frmAbout.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/desktopOpener.h"
#include "core/settings.h"
#include "ui/formFont.h"
#include "ui/icons.h"

QString frmAbout::VersionText() {
    return QStringLiteral("Version %1.%2.%3")
        .arg(TESSORY_VERSION_MAJOR)
        .arg(TESSORY_VERSION_MINOR)
        .arg(TESSORY_VERSION_PATCH);
}

QString frmAbout::WebPage() {
    return QStringLiteral("https://tessory.org/");
}

frmAbout::frmAbout(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setFont(FormFont());

    auto *picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(ProgramIcon().pixmap(48, 48));

    auto *lblTitle = new QLabel(QString::fromLatin1(kAppTitle), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setFont(FormFont(15.75));
    lblTitle->setStyleSheet(QStringLiteral("color: black;"));

    auto *lblVersion = new QLabel(VersionText(), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));

    // The link is a plain label that hands its address to the desktop on every click; the dialog
    // stays open.
    auto *lblAuthor = new QLabel(
        QStringLiteral("<a href=\"%1\" style=\"color: blue;\">%1</a>").arg(WebPage()), this);
    lblAuthor->setObjectName(QStringLiteral("lblAuthor"));
    lblAuthor->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    lblAuthor->setCursor(Qt::PointingHandCursor);
    connect(lblAuthor, &QLabel::linkActivated, this,
            [](const QString &address) { CurrentDesktopOpener().open(address); });

    auto *cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    auto *texts = new QVBoxLayout;
    texts->addWidget(lblTitle);
    texts->addWidget(lblVersion);
    texts->addWidget(lblAuthor);
    auto *top = new QHBoxLayout;
    top->addWidget(picIcon, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
}
