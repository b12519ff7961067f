#include <QApplication>

#include <gtest/gtest.h>

#include "tests/support/testEnvironment.h"

int main(int argc, char *argv[]) {
    PrepareTestProcess();
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
