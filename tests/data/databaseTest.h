#pragma once

#include <gtest/gtest.h>

#include <QString>

#include "data/connection.h"
#include "data/odbcHandle.h"
#include "data/recordset.h"
#include "tests/data/odbcTestSources.h"

inline void PrintTo(const QString &text, std::ostream *out) {
    *out << '"' << text.toStdString() << '"';
}

// What differs between the drivers, as measured.
struct DriverTraits {
    const char *productName;        // the database product name the driver reports
    bool multipleStatements;        // runs several statements in one text
    const char *oneStatementWords;  // words of the refusal of a second statement
    const char *decimalText;        // numeric(10,2) 12.50 as text
    const char *binaryType;         // a column type for bytes
    const char *binaryLiteral;      // the bytes 00 ff 10 as a literal
    const char *binaryText;         // those bytes as text
    const char *longTextType;       // a column type for texts of a million characters
    const char *missingTableState;  // SQLSTATE of a query on a table that does not exist
    // The run's cancel goes to the statement in use, whose SQLCancel is safe from another
    // thread (it acts only while the statement executes); other drivers get it on an idle one.
    bool cancelsTheStatementInUse = false;
    // Servers only: the login, and the session that a test may end from another connection.
    const char *wrongPasswordWords;  // words of the refusal of a wrong password
    const char *currentUserQuery;    // one value: the login name of the session
    const char *sessionIdQuery;      // one value: the server's id of the session
    const char *endSessionQuery;     // %1: ends the session of that id
    const char *sleepQuery;          // %1: sleeps that many seconds
    const char *sleepingQuery;       // %1: one value, 1 while the session of that id sleeps
    int longestNameBytes = 0;        // the server cuts longer column names to this (0: no limit)
};

// Base of the tests that run the same body against every driver: connects `connection` to the
// driver's data source. The tests of a server skip when its fixture is not running, except in CI.
class DatabaseTest : public testing::TestWithParam<TestDriver> {
protected:
    void SetUp() override;

    bool postgres() const { return GetParam() == TestDriver::Postgres; }
    // A database server with logins (not a file).
    bool server() const { return GetParam() != TestDriver::Sqlite; }
    const DriverTraits &traits() const;
    QString connectionString() const;
    // A table name of this test's own, so that test processes never share one.
    QString table(const QString &stem) const;
    // Runs statements that return no rows.
    void Exec(const QString &sql);
    void Exec(Connection &on, const QString &sql);
    // A query that runs for about the given seconds on this driver.
    QString SlowQuery(int seconds) const;
    // A million rows or more that take seconds to fetch and come one after the other (on the
    // driver's streaming source, where it has one).
    QString LongStream() const;

    TestSource source;
    Connection connection;
};

// A database test with a second connection on the driver's streaming source, where rows arrive
// while the statement still runs (where the driver can).
class StreamingDatabaseTest : public DatabaseTest {
protected:
    void SetUp() override;

    Connection streaming;
};

// Runs `body` and returns the failure it threw; fails the test when it threw none.
template <typename Body>
Failure FailureOf(Body &&body) {
    try {
        body();
    } catch (const Failure &failure) {
        return failure;
    }
    ADD_FAILURE() << "no failure";
    return {};
}

template <typename Body>
DatabaseFailure DatabaseFailureOf(Body &&body) {
    try {
        body();
    } catch (const DatabaseFailure &failure) {
        return failure;
    } catch (const Failure &failure) {
        ADD_FAILURE() << "not a database failure: " << failure.number << " "
                      << failure.description.toStdString();
        return {};
    }
    ADD_FAILURE() << "no failure";
    return {};
}

std::string ParamName(const testing::TestParamInfo<TestDriver> &info);

#define TESSORY_ALL_DRIVERS(Suite) \
    INSTANTIATE_TEST_SUITE_P(Drivers, Suite, testing::ValuesIn(kTestDrivers), ParamName)
