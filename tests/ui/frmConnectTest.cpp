#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>

#include "data/basConnect.h"
#include "data/connection.h"
#include "data/connectionWorker.h"
#include "tests/data/odbcTestSources.h"
#include "tests/support/modalDialogs.h"
#include "tests/support/recordingPresenter.h"
#include "ui/frmConnect.h"

namespace {

// A TCP port on 127.0.0.1 where connections are taken in by the system and never answered, so
// that a driver connecting there waits until the server goes away. It goes away by itself after
// a while, so that an attempt that blocks the test's own thread fails the test instead of
// hanging it.
class SilentServer {
public:
    SilentServer() {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr *>(&address), length) != 0 ||
            listen(listener_, 8) != 0 ||
            getsockname(listener_, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
            ADD_FAILURE() << "no listening socket";
            return;
        }
        port_ = ntohs(address.sin_port);
        watchdog_ = std::jthread([this](std::stop_token stop) {
            std::mutex mutex;
            std::unique_lock lock(mutex);
            std::condition_variable_any().wait_for(lock, stop, std::chrono::seconds(20),
                                                   [] { return false; });
            GoAway();
        });
    }
    ~SilentServer() {
        watchdog_ = {};
        GoAway();
    }
    SilentServer(const SilentServer &) = delete;
    SilentServer &operator=(const SilentServer &) = delete;

    quint16 Port() const { return port_; }
    // A client has connected and waits for the server's first word.
    bool Reached() {
        const std::lock_guard lock(mutex_);
        pollfd waiting{listener_, POLLIN, 0};
        return listener_ >= 0 && poll(&waiting, 1, 0) == 1;
    }
    // Stops listening and drops every connection taken in, so that the client's call fails.
    void GoAway() {
        const std::lock_guard lock(mutex_);
        if (listener_ >= 0) {
            close(listener_);
            listener_ = -1;
        }
    }

private:
    std::mutex mutex_;
    int listener_ = -1;
    quint16 port_ = 0;
    std::jthread watchdog_;
};

// Counts the paint events of a widget.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget *widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return false;
    }
    int paints = 0;
};

QComboBox *SourceField(QWidget *dialog) {
    return dialog->findChild<QComboBox *>(QStringLiteral("cboDSNList"));
}

QLineEdit *Field(QWidget *dialog, const char *name) {
    return dialog->findChild<QLineEdit *>(QString::fromLatin1(name));
}

// Any of the dialog's inputs or buttons takes input.
bool AnyInputEnabled(QWidget *dialog) {
    for (const char *name : {"fraDSN", "fraBtn"}) {
        if (dialog->findChild<QFrame *>(QString::fromLatin1(name))->isEnabled()) {
            return true;
        }
    }
    return false;
}

bool BusyPointer() {
    const QCursor *cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::WaitCursor;
}

class ConnectDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.resize(400, 300);
        window.show();
    }
    void TearDown() override {
        ASSERT_TRUE(worker.WaitIdle(std::chrono::seconds(30)));
        IgnoreFailure([&] { connection.Close(); });
    }

    void Show(ConnectionWorker *with) {
        ShowConnectDialog(connection, &window, with,
                          [this](const ConnectAttempt &attempt) { attempts.append(attempt); });
    }

    QWidget window;
    Connection connection;
    ConnectionWorker worker;
    QList<ConnectAttempt> attempts;
};

TEST_F(ConnectDialogTest, WithAWorkerOkDisablesTheDialogUntilTheConnectionIsOpen) {
    const QString dsn = RegisterSqliteSource(QStringLiteral("ConnectDialogSource"));
    struct {
        bool attempting = false;
        bool inputsEnabled = true;
        bool busyPointer = false;
        bool openBeforeTheLoopRan = true;
        bool visibleAfterEscapeAndClose = false;
        bool closedAfterTheAttempt = false;
    } seen;
    AnswerNextDialog([&](QWidget *dialog) {
        SourceField(dialog)->setEditText(dsn);
        QTest::keyClick(SourceField(dialog)->lineEdit(), Qt::Key_Return);
        // The attempt ends only once this thread's event loop runs again.
        seen.attempting = qobject_cast<frmConnect *>(dialog)->Attempting();
        seen.inputsEnabled = AnyInputEnabled(dialog);
        seen.busyPointer = BusyPointer();
        seen.openBeforeTheLoopRan = !attempts.isEmpty();
        QTest::keyClick(dialog, Qt::Key_Escape);
        dialog->close();
        seen.visibleAfterEscapeAndClose = dialog->isVisible();
        WaitForConnectAttempt(dialog);
        seen.closedAfterTheAttempt = !dialog->isVisible();
        CloseIfOpen(dialog);
    });
    Show(&worker);
    EXPECT_TRUE(seen.attempting);
    EXPECT_FALSE(seen.inputsEnabled);
    EXPECT_TRUE(seen.busyPointer);
    EXPECT_FALSE(seen.openBeforeTheLoopRan);
    EXPECT_TRUE(seen.visibleAfterEscapeAndClose);  // neither ends the dialog while it connects
    EXPECT_TRUE(seen.closedAfterTheAttempt);
    EXPECT_FALSE(BusyPointer());
    EXPECT_EQ(connection.State(), Connection::StateOpen);
    ASSERT_EQ(attempts.size(), 1);
    EXPECT_EQ(attempts[0].dataSource, dsn);
    EXPECT_TRUE(attempts[0].opened);
}

TEST_F(ConnectDialogTest, AFailedAttemptShowsTheDriversTextOnceAndLeavesTheDialogUsable) {
    // The same on this thread and on the worker: one box, the focus and the password where they
    // were, and a second OK that connects.
    const QString good = RegisterSqliteSource(QStringLiteral("ConnectDialogSource"));
    const QString bad = QStringLiteral("NoSuchSource");
    Connection probe;
    const std::optional<Failure> expected = TryOpenConnection(probe, bad, QString(), QString());
    ASSERT_TRUE(expected);
    ASSERT_FALSE(expected->description.isEmpty());
    for (ConnectionWorker *with : {static_cast<ConnectionWorker *>(nullptr), &worker}) {
        SCOPED_TRACE(with ? "on the worker" : "on this thread");
        attempts.clear();
        RecordingPresenter presenter;
        struct {
            QList<RecordedBox> boxes;
            bool usable = false;
            QString focused;
            QString password;
            bool closedBySecondOk = false;
        } seen;
        AnswerNextDialog([&](QWidget *dialog) {
            SourceField(dialog)->setEditText(bad);
            QLineEdit *password = Field(dialog, "txtPWD");
            password->setFocus();
            QTest::keyClicks(password, QStringLiteral("secret"));
            QTest::keyClick(password, Qt::Key_Return);
            WaitForConnectAttempt(dialog);
            seen.boxes = presenter.boxes();
            seen.usable = dialog->isVisible() && AnyInputEnabled(dialog) &&
                          SourceField(dialog)->isEnabled() && password->isEnabled();
            seen.focused = dialog->focusWidget() ? dialog->focusWidget()->objectName() : QString();
            seen.password = password->text();
            SourceField(dialog)->setEditText(good);
            QTest::keyClick(password, Qt::Key_Return);
            WaitForConnectAttempt(dialog);
            seen.closedBySecondOk = !dialog->isVisible();
            CloseIfOpen(dialog);
        });
        Show(with);
        ASSERT_EQ(seen.boxes.size(), 1);
        EXPECT_EQ(seen.boxes[0].text, expected->description);
        EXPECT_TRUE(seen.usable);
        EXPECT_EQ(seen.focused, QStringLiteral("txtPWD"));
        EXPECT_EQ(seen.password, QStringLiteral("secret"));
        EXPECT_TRUE(seen.closedBySecondOk);
        ASSERT_EQ(attempts.size(), 2);
        EXPECT_EQ(attempts[0].dataSource, bad);
        EXPECT_FALSE(attempts[0].opened);
        EXPECT_TRUE(attempts[1].opened);
        EXPECT_EQ(presenter.boxes().size(), 1);  // none for the success
        IgnoreFailure([&] { connection.Close(); });
    }
}

TEST_F(ConnectDialogTest, TheWindowBehindPaintsWhileAServerKeepsTheAttemptWaiting) {
    SilentServer server;
    const std::optional<QString> dsn =
        RegisterPostgresSourceAt(QStringLiteral("ConnectDialogSilentServer"), server.Port());
    if (!dsn) {
        if (PostgresRequired()) {
            FAIL() << "the PostgreSQL fixture is not running (CI=true requires it)";
        }
        GTEST_SKIP() << "the PostgreSQL fixture is not running";
    }
    PaintCounter painted(&window);
    RecordingPresenter presenter;
    struct {
        bool reached = false;
        bool paintedMeanwhile = false;
        bool stillAttempting = false;
        bool inputsEnabled = true;
        bool usableAfterwards = false;
    } seen;
    AnswerNextDialog([&](QWidget *dialog) {
        SourceField(dialog)->setEditText(*dsn);
        Field(dialog, "txtUID")->setText(QStringLiteral("tessory"));
        PressButton(dialog, "cmdOK");
        seen.reached = QTest::qWaitFor([&] { return server.Reached(); }, 10000);
        const int before = painted.paints;
        window.update();
        seen.paintedMeanwhile = QTest::qWaitFor([&] { return painted.paints > before; }, 5000);
        seen.stillAttempting = qobject_cast<frmConnect *>(dialog)->Attempting();
        seen.inputsEnabled = AnyInputEnabled(dialog);
        server.GoAway();  // the driver's call returns with its failure
        WaitForConnectAttempt(dialog);
        seen.usableAfterwards = dialog->isVisible() && AnyInputEnabled(dialog);
        CloseIfOpen(dialog);
    });
    Show(&worker);
    EXPECT_TRUE(seen.reached);
    EXPECT_TRUE(seen.paintedMeanwhile);
    EXPECT_TRUE(seen.stillAttempting);
    EXPECT_FALSE(seen.inputsEnabled);
    EXPECT_TRUE(seen.usableAfterwards);
    ASSERT_EQ(presenter.boxes().size(), 1);
    EXPECT_FALSE(presenter.boxes()[0].text.isEmpty());
    EXPECT_EQ(connection.State(), Connection::StateClosed);
}

}  // namespace
