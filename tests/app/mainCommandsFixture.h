#pragma once

// The main window on a clean slate for tests of its commands, driven through their menu
// actions and real dialogs. Shared by the command tests of every menu; the classes are the
// same fixture in every file, so they live outside an anonymous namespace.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QMdiArea>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include "app/basGlobals.h"
#include "app/basMain.h"
#include "app/frmMain.h"
#include "data/basConnect.h"
#include "data/recordset.h"
#include "tests/data/odbcTestSources.h"
#include "tests/support/testEnvironment.h"
#include "ui/frmSQL.h"
#include "ui/queryEditor.h"

class MainCommandsTest : public testing::Test {
protected:
    // The driver manager reads its data sources once per process.
    static void SetUpTestSuite() { RegisterSqliteSource(QStringLiteral("CommandSource")); }

    void SetUp() override {
        ClearSettings();
        ResetSharedState();
        window_ = std::make_unique<frmMain>();
        window_->show();
    }
    void TearDown() override {
        window_->mdiArea()->closeAllSubWindows();
        window_.reset();
        ResetSharedState();
    }

    void Trigger(const char *name) {
        QAction *action = window_->findChild<QAction *>(QString::fromLatin1(name));
        ASSERT_NE(action, nullptr) << name;
        action->trigger();
    }
    QString Path(const char *name) const { return dir_.filePath(QString::fromUtf8(name)); }
    QueryEditor *Editor() const { return window_->ActiveDoc()->txtQry(); }

    QTemporaryDir dir_;
    std::unique_ptr<frmMain> window_;
};

// The main window with the shared connection open on a SQLite data source.
class TableListCommandTest : public MainCommandsTest {
protected:
    void SetUp() override {
        MainCommandsTest::SetUp();
        const QString dsn = RegisterSqliteSource(QStringLiteral("CommandSource"));
        ASSERT_TRUE(OpenConnection(gConnection, dsn, QString(), QString()));
    }
    bool ListVisible() const {
        auto *action = window_->findChild<QAction *>(QStringLiteral("cboTableAction"));
        EXPECT_NE(action, nullptr);
        return action && action->isVisible();
    }
    QStringList Items() const {
        QStringList items;
        for (int i = 0; i < window_->cboTable()->count(); ++i) {
            items.append(window_->cboTable()->itemText(i));
        }
        return items;
    }
    void Exec(const QString &sql) {
        Recordset rs;
        rs.Open(sql, gConnection);
    }
};
