#include "ui/dialogButtons.h"

#include <QDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>

DialogButtons MakeDialogButtons(QDialog *dialog) {
    auto *fraBtn = new QFrame(dialog);
    fraBtn->setObjectName(QStringLiteral("fraBtn"));
    auto *cmdOK = new QPushButton(QStringLiteral("OK"), fraBtn);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    auto *cmdCancel = new QPushButton(QStringLiteral("キャンセル"), fraBtn);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    QObject::connect(cmdCancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto *buttons = new QHBoxLayout(fraBtn);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    return {fraBtn, cmdOK, cmdCancel};
}
