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
    bool multipleStatements;   // runs several statements in one text
    const char *decimalText;   // numeric(10,2) 12.50 as text
    const char *binaryText;    // the bytes 00 ff 10 as text
    int longestNameBytes = 0;  // the server cuts longer column names to this (0: no limit)
};

// Base of the tests that run the same body against every driver: connects `connection` to the
// driver's data source. PostgreSQL tests skip when its fixture is not running, except in CI.
class DatabaseTest : public testing::TestWithParam<TestDriver> {
protected:
    void SetUp() override;

    bool postgres() const { return GetParam() == TestDriver::Postgres; }
    const DriverTraits &traits() const;
    QString connectionString() const;
    // A table name of this test's own, so that test processes never share one.
    QString table(const QString &stem) const;
    // Runs statements that return no rows.
    void Exec(const QString &sql);
    void Exec(Connection &on, const QString &sql);
    // A query that runs for about the given seconds on this driver.
    QString SlowQuery(int seconds) const;

    TestSource source;
    Connection connection;
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

#define TESSORY_ALL_DRIVERS(Suite)           \
    INSTANTIATE_TEST_SUITE_P(Drivers, Suite, \
                             testing::Values(TestDriver::Sqlite, TestDriver::Postgres), ParamName)
