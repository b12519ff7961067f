#include "ui/frmConnect.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include "core/clsMsg.h"
#include "core/settings.h"
#include "data/basConnect.h"
#include "data/basDsn.h"
#include "data/connectionWorker.h"
#include "ui/formFont.h"
#include "ui/twips.h"

namespace {

// Places a control at a design position given in twips.
void Place(QWidget *widget, const Twips &twips, int left, int top, int width, int height) {
    widget->setGeometry(twips.toPixelsX(left), twips.toPixelsY(top), twips.toPixelsX(width),
                        twips.toPixelsY(height));
}

}  // namespace

frmConnect::frmConnect(Connection &connection, QWidget *parent, ConnectionWorker *worker)
    : QDialog(parent), connection_(connection), worker_(worker) {
    setObjectName(QStringLiteral("frmConnect"));
    setWindowTitle(QStringLiteral("データ ソース接続"));
    setFont(FormFont());
    buildControls();
    load();
}

frmConnect::~frmConnect() = default;

void frmConnect::buildControls() {
    const Twips twips(this);
    setFixedSize(twips.toPixelsX(6735), twips.toPixelsY(3285));

    auto *imgIcon = new QLabel(this);
    imgIcon->setObjectName(QStringLiteral("imgIcon"));
    imgIcon->setScaledContents(true);
    imgIcon->setPixmap(style()->standardIcon(QStyle::SP_DriveNetIcon).pixmap(16, 16));
    Place(imgIcon, twips, 120, 120, 480, 480);

    auto *lblMsg = new QLabel(QStringLiteral("データソース接続情報"), this);
    lblMsg->setObjectName(QStringLiteral("lblMsg"));
    Place(lblMsg, twips, 840, 360, 5745, 255);

    auto *fraDSN = fraDSN_ = new QFrame(this);
    fraDSN->setObjectName(QStringLiteral("fraDSN"));
    fraDSN->setFrameShape(QFrame::StyledPanel);
    Place(fraDSN, twips, 120, 720, 6465, 1935);

    auto *lblDSN = new QLabel(QStringLiteral("データソース名(&S)："), fraDSN);
    lblDSN->setObjectName(QStringLiteral("lblDSN"));
    Place(lblDSN, twips, 240, 480, 2085, 255);
    cboDSNList_ = new QComboBox(fraDSN);
    cboDSNList_->setObjectName(QStringLiteral("cboDSNList"));
    cboDSNList_->setEditable(true);
    cboDSNList_->setInsertPolicy(QComboBox::NoInsert);
    // No completion: it would take a selected field text (as the pre-filled one is) for a
    // proposal, and Enter would then put the list's first name there instead of pressing OK.
    cboDSNList_->setCompleter(nullptr);
    Place(cboDSNList_, twips, 2370, 420, 3720, 375);
    lblDSN->setBuddy(cboDSNList_);

    auto *lblUID = new QLabel(QStringLiteral("ログイン名(&L)："), fraDSN);
    lblUID->setObjectName(QStringLiteral("lblUID"));
    Place(lblUID, twips, 240, 900, 2085, 255);
    txtUID_ = new QLineEdit(fraDSN);
    txtUID_->setObjectName(QStringLiteral("txtUID"));
    Place(txtUID_, twips, 2370, 900, 3675, 375);
    lblUID->setBuddy(txtUID_);

    auto *lblPWD = new QLabel(QStringLiteral("パスワード(&P)："), fraDSN);
    lblPWD->setObjectName(QStringLiteral("lblPWD"));
    Place(lblPWD, twips, 240, 1320, 2085, 255);
    txtPWD_ = new QLineEdit(fraDSN);
    txtPWD_->setObjectName(QStringLiteral("txtPWD"));
    txtPWD_->setEchoMode(QLineEdit::Password);
    txtPWD_->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));  // '*'
    txtPWD_->setAttribute(Qt::WA_InputMethodEnabled, false);
    txtPWD_->setInputMethodHints(Qt::ImhHiddenText | Qt::ImhSensitiveData |
                                 Qt::ImhNoPredictiveText | Qt::ImhNoAutoUppercase);
    Place(txtPWD_, twips, 2370, 1320, 3675, 375);
    lblPWD->setBuddy(txtPWD_);

    auto *fraBtn = fraBtn_ = new QFrame(this);
    fraBtn->setObjectName(QStringLiteral("fraBtn"));
    fraBtn->setFrameShape(QFrame::NoFrame);
    Place(fraBtn, twips, 3450, 2700, 3255, 555);

    auto *cmdOK = new QPushButton(QStringLiteral("OK"), fraBtn);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    Place(cmdOK, twips, 120, 120, 1455, 375);
    connect(cmdOK, &QPushButton::clicked, this, &frmConnect::cmdOK_Click);

    auto *cmdCancel = new QPushButton(QStringLiteral("キャンセル"), fraBtn);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    Place(cmdCancel, twips, 1680, 120, 1455, 375);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(cboDSNList_, txtUID_);
    setTabOrder(txtUID_, txtPWD_);
    setTabOrder(txtPWD_, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    cboDSNList_->setFocus();
}

void frmConnect::load() {
    cboDSNList_->addItems(SortDataSourceNames(GetDSNsAndDrivers()));
    const QString lastSource = Settings::Read(Settings::ConnectDsn);
    cboDSNList_->setCurrentIndex(cboDSNList_->findText(lastSource));
    cboDSNList_->setEditText(lastSource);  // also when no listed name matches it
    txtUID_->setText(Settings::Read(Settings::ConnectUid));
    txtPWD_->clear();
}

void frmConnect::cmdOK_Click() {
    const QString dsn = cboDSNList_->currentText();
    const QString uid = txtUID_->text();
    const QString pwd = txtPWD_->text();
    if (!worker_) {
        finishAttempt(dsn, TryOpenConnection(connection_, dsn, uid, pwd));
        return;
    }
    // Written by the job, read by `done` after it: the worker hands it over between the
    // threads. A job that ends without an answer (it threw) counts as a failed attempt.
    struct Outcome {
        bool answered = false;
        std::optional<Failure> failure;
    };
    auto outcome = std::make_shared<Outcome>();
    Connection *connection = &connection_;
    setAttempting(true);
    worker_->Start(
        [outcome, connection, dsn, uid, pwd](JobContext &) {
            outcome->failure = TryOpenConnection(*connection, dsn, uid, pwd);
            outcome->answered = true;
        },
        [dialog = QPointer<frmConnect>(this), outcome, dsn] {
            if (!dialog) {
                return;
            }
            dialog->setAttempting(false);
            dialog->finishAttempt(dsn, outcome->answered
                                           ? outcome->failure
                                           : std::optional(MakeFailure(FailureNumber::General)));
        });
}

void frmConnect::setAttempting(bool attempting) {
    attempting_ = attempting;
    if (attempting) {
        focusBeforeAttempt_ = focusWidget();
        busyCursor_.emplace();
    } else {
        busyCursor_.reset();
    }
    fraDSN_->setEnabled(!attempting);
    fraBtn_->setEnabled(!attempting);
    if (!attempting && focusBeforeAttempt_) {
        focusBeforeAttempt_->setFocus();
    }
}

void frmConnect::finishAttempt(const QString &dsn, const std::optional<Failure> &failure) {
    if (failure) {
        clsMsg().ShowError(failure->description);
    }
    emit ConnectionAttempted(ConnectAttempt{dsn, !failure});
    if (!failure) {
        accept();
    }
}

void frmConnect::done(int result) {
    // Escape, the window's close button and Cancel wait for the attempt to end: closing now
    // would leave the connection half open on the worker while the caller goes on.
    if (attempting_) {
        return;
    }
    Settings::Write(Settings::ConnectDsn, cboDSNList_->currentText());
    Settings::Write(Settings::ConnectUid, txtUID_->text());
    txtPWD_->clear();
    QDialog::done(result);
}

void ShowConnectDialog(Connection &connection, QWidget *parent, ConnectionWorker *worker,
                       const std::function<void(const ConnectAttempt &)> &afterEachAttempt) {
    frmConnect dialog(connection, parent, worker);
    if (afterEachAttempt) {
        QObject::connect(&dialog, &frmConnect::ConnectionAttempted, afterEachAttempt);
    }
    dialog.exec();
    // Keys go to the window behind again, also where no window manager hands them back.
    if (parent) {
        parent->window()->activateWindow();
    }
}
