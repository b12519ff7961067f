// Loaded into an installed copy of the program (LD_PRELOAD) by scripts/check-package.sh, so that
// the copy can be checked offscreen without a command line of its own. It waits for the
// connection dialog, checks that the program's own folder (where it looks for its keyword files,
// the symbolic link on the PATH resolved) holds them, cancels the dialog, types a keyword into
// the query window that opens and waits until the colouring engine has read KEYWORD_COLOR.CSV
// and coloured it. Prints what it found and ends the program with 0, or with 1 on the first
// thing that is wrong (an error box included).
//
// TESSORY_PROBE_SHOTS=<folder> saves pictures of the dialog and of the main window there.
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QFile>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

void Say(const QString &line) {
    std::fprintf(stdout, "probe: %s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
}

void Shoot(QWidget *widget, const char *name) {
    const QString folder = qEnvironmentVariable("TESSORY_PROBE_SHOTS");
    if (!folder.isEmpty()) {
        widget->grab().save(folder + QLatin1Char('/') + QLatin1String(name) + ".png");
    }
}

QPlainTextEdit *FindEditor() {
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (auto *editor = top->findChild<QPlainTextEdit *>(QStringLiteral("txtQry"))) {
            return editor;
        }
    }
    return nullptr;
}

bool FirstLineIsColoured(QPlainTextEdit *editor) {
    const QTextBlock first = editor->document()->firstBlock();
    if (!first.layout()) {
        return false;
    }
    for (const QTextLayout::FormatRange &range : first.layout()->formats()) {
        if (range.format.hasProperty(QTextFormat::ForegroundBrush)) {
            return true;
        }
    }
    return false;
}

class Probe : public QObject {
public:
    Probe() : deadline_(30'000) {
        connect(&timer_, &QTimer::timeout, this, &Probe::step);
        timer_.start(50);
    }

private:
    void fail(const QString &why) {
        Say(QStringLiteral("FAILED: ") + why);
        finish(1);
    }
    void finish(int code) {
        timer_.stop();
        if (QWidget *modal = QApplication::activeModalWidget()) {
            modal->close();
        }
        QCoreApplication::exit(code);
        // The program may still be inside the dialog's own loop.
        QTimer::singleShot(0, [code] { QCoreApplication::exit(code); });
    }

    void step() {
        if (deadline_.hasExpired()) {
            fail(stage_ == 0 ? QStringLiteral("no connection dialog within 30 s")
                             : QStringLiteral("the keyword was not coloured within 30 s"));
            return;
        }
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            fail(QStringLiteral("a message box: ") + box->text());
            return;
        }
        if (stage_ == 0) {
            connectDialog(qobject_cast<QDialog *>(modal));
        } else {
            colouring();
        }
    }

    void connectDialog(QDialog *dialog) {
        if (!dialog || dialog->objectName() != QLatin1String("frmConnect")) {
            return;
        }
        Say(QStringLiteral("connection dialog shown: ") + dialog->windowTitle());
        const QString folder = QCoreApplication::applicationDirPath();
        Say(QStringLiteral("program folder: ") + folder);
        for (const char *name : {"KEYWORD_COLOR.CSV", "KEYWORD_ARRANGE.CSV"}) {
            const QString path = folder + QLatin1Char('/') + QLatin1String(name);
            if (!QFile::exists(path)) {
                fail(QStringLiteral("no keyword file ") + path);
                return;
            }
            Say(QStringLiteral("keyword file beside the program: ") + path);
        }
        Shoot(dialog, "connect");
        stage_ = 1;
        dialog->reject();
    }

    void colouring() {
        QPlainTextEdit *editor = FindEditor();
        if (!editor) {
            return;
        }
        if (!typed_) {
            // Typed from a timer of its own: a box the typing raises then runs its loop outside
            // this step, and the next step sees it.
            QPointer<QPlainTextEdit> target = editor;
            QTimer::singleShot(0, [target] {
                if (target) {
                    target->setFocus();
                    target->insertPlainText(QStringLiteral("SELECT 1"));
                }
            });
            typed_ = true;
            return;
        }
        if (FirstLineIsColoured(editor)) {
            Say(QStringLiteral("query window coloured the keyword from KEYWORD_COLOR.CSV"));
            Shoot(editor->window(), "main");
            finish(0);
        }
    }

    QTimer timer_;
    QDeadlineTimer deadline_;
    int stage_ = 0;
    bool typed_ = false;
};

void StartProbe() {
    Say(QStringLiteral("loaded into ") + QCoreApplication::applicationFilePath());
    new Probe;  // lives until the process ends
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(StartProbe)
