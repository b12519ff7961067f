// A whole session on the sample database that the README's first command registers: start-up
// with the connection dialog, typing a query, running it, paging the result, exporting it and
// closing the program.
#include <QComboBox>
#include <QDir>
#include <QMdiArea>
#include <QMenu>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

#include "app/basGlobals.h"
#include "app/basMain.h"
#include "app/frmMain.h"
#include "core/settings.h"
#include "data/recordset.h"
#include "tests/data/odbcTestSources.h"
#include "tests/files/xlsxReader.h"
#include "tests/support/modalDialogs.h"
#include "tests/support/recordingOpener.h"
#include "tests/support/scopedDesktopOpener.h"
#include "tests/support/testEnvironment.h"
#include "ui/frmSQL.h"
#include "ui/queryEditor.h"

namespace {

const QString kSample = QStringLiteral("TessorySample");

class SampleSessionTest : public testing::Test {
protected:
    // The sample database made from the repository's script, as the set-up script makes it.
    static void SetUpTestSuite() {
        RegisterSqliteSource(QStringLiteral("Archive"));  // listed before the sample
        RegisterSqliteSource(kSample);
        // Through the C library's own process start rather than QProcess, whose way of starting
        // a process ThreadSanitizer cannot follow (it loses track of this thread's locks).
        const QString script =
            TestSourceFolder() + QStringLiteral("/../resources/sample/sample.sql");
        const QByteArray command = "sqlite3 '" + SqliteSourceFile(kSample).toLocal8Bit() + "' < '" +
                                   script.toLocal8Bit() + "'";
        ASSERT_EQ(std::system(command.constData()), 0) << command.toStdString();
    }

    void SetUp() override {
        ClearSettings();
        ResetSharedState();
    }
    void TearDown() override { ResetSharedState(); }
};

TEST_F(SampleSessionTest, ConnectRunPageExportAndClose) {
    const QString documents = TestProcessFolder() + QStringLiteral("/documents");
    QDir().mkpath(documents);
    QFile dirs(QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) +
               QStringLiteral("/user-dirs.dirs"));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_DOCUMENTS_DIR=\"" + documents.toUtf8() + "\"\n");
    dirs.close();
    RecordingOpener opener;
    ScopedDesktopOpener installed(opener);

    {
        frmMain window;
        AnswerNextDialog([](QWidget *dialog) {
            auto *list = dialog->findChild<QComboBox *>(QStringLiteral("cboDSNList"));
            list->setCurrentIndex(list->findText(kSample));
            QTest::keyClick(list, Qt::Key_Return);
            WaitForConnectAttempt(dialog);
            if (dialog->isVisible()) {
                ADD_FAILURE() << "the sample database did not connect";
                QTest::keyClick(dialog, Qt::Key_Escape);
            }
        });
        StartUp(window);
        ASSERT_EQ(window.PanelText(QStringLiteral("DSN")), kSample);
        // The keys go to the main window again once the dialog has closed.
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

        frmSQL *doc = window.ActiveDoc();
        ASSERT_NE(doc, nullptr);
        QTest::keyClicks(doc->txtQry(),
                         QStringLiteral("select order_id, customer, total from order_totals"));
        QTest::keyClick(doc->txtQry(), Qt::Key_Return);
        QTest::keyClicks(doc->txtQry(), QStringLiteral("order by order_id"));
        EXPECT_TRUE(doc->txtQry()->colorAt(0).isValid());  // "select" is a keyword
        QTest::keyClick(doc->txtQry(), Qt::Key_F5);
        ASSERT_TRUE(window.WaitUntilIdle(std::chrono::seconds(30)));
        EXPECT_EQ(window.PanelText(QStringLiteral("MESSAGE")),
                  QStringLiteral("クエリ バッチが完了しました。"));
        Recordset &result = doc->RecordSet();
        ASSERT_EQ(result.RecordCount(), 120);
        EXPECT_EQ(doc->grdQry()->model()->headerData(1, Qt::Horizontal).toString(),
                  QStringLiteral("customer"));
        const QString firstCustomer = result.Value(1);
        EXPECT_FALSE(firstCustomer.isEmpty());

        window.tlbGrid_ButtonClick(QStringLiteral("DBL_NEXT"));
        EXPECT_EQ(result.Value(0), QStringLiteral("11"));
        EXPECT_EQ(doc->grdQry()->currentIndex().row(), 10);

        window.findChild<QAction *>(QStringLiteral("mnuToolExcel"))->trigger();
        ASSERT_TRUE(window.WaitUntilIdle(std::chrono::seconds(30)));
        ASSERT_EQ(opener.opened.size(), 1);
        const QString workbook = opener.opened.first();
        EXPECT_TRUE(workbook.startsWith(documents + QStringLiteral("/Tessory/")));
        EXPECT_EQ(window.PanelText(QStringLiteral("MESSAGE")), workbook);
        const ReadBack back = ReadXlsx(workbook);
        ASSERT_EQ(back.rows.size(), 121);  // the header row and every order
        EXPECT_EQ(back.value(0, 1).toString(), QStringLiteral("customer"));
        EXPECT_EQ(back.value(1, 1).toString(), firstCustomer);
        EXPECT_EQ(back.value(1, 0).toString(), QStringLiteral("1"));  // numbers stay text

        gCommand.setCommandTimeout(12);
        window.close();
        EXPECT_EQ(gDocCount, 0);
    }
    EXPECT_EQ(Settings::Read(Settings::QueryTimeout), QStringLiteral("12"));
    EXPECT_EQ(Settings::Read(Settings::ConnectDsn), kSample);
    QFile::remove(dirs.fileName());
}

TEST_F(SampleSessionTest, TheNextStartConnectsTheLastSourceWithEnterAtOnce) {
    // The first run picks the sample from the list; the next one opens the dialog with the
    // sample in the field, and Enter at once connects it again.
    for (const int run : {1, 2}) {
        SCOPED_TRACE(run);
        frmMain window;
        QString shown;
        bool closedByEnter = false;
        AnswerNextDialog([&](QWidget *dialog) {
            auto *list = dialog->findChild<QComboBox *>(QStringLiteral("cboDSNList"));
            if (run == 1) {
                list->setCurrentIndex(list->findText(kSample));
            }
            shown = list->currentText();
            QTest::keyClick(dialog->windowHandle(), Qt::Key_Return);
            WaitForConnectAttempt(dialog);
            closedByEnter = !dialog->isVisible();
            if (!closedByEnter) {
                QTest::keyClick(dialog, Qt::Key_Escape);
            }
        });
        StartUp(window);
        EXPECT_EQ(shown, kSample);
        EXPECT_TRUE(closedByEnter);
        EXPECT_EQ(window.PanelText(QStringLiteral("DSN")), kSample);
        window.close();
        ResetSharedState();  // as a new process starts
    }
}

}  // namespace
