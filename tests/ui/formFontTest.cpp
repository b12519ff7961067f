#include <QLabel>

#include <gtest/gtest.h>

#include "data/connection.h"
#include "ui/frmAbout.h"
#include "ui/frmConnect.h"

namespace {

void ExpectFormFont(const QFont &font, double points) {
    EXPECT_EQ(font.family(), QStringLiteral("Meiryo UI"));
    EXPECT_DOUBLE_EQ(font.pointSizeF(), points);
}

TEST(FormFont, DialogsShowTheirTextInTheFormFont) {
    frmAbout about;
    ExpectFormFont(about.font(), 9.75);
    ExpectFormFont(about.findChild<QLabel *>("lblVersion")->font(), 9.75);
    ExpectFormFont(about.findChild<QLabel *>("lblTitle")->font(), 15.75);

    Connection connection;
    frmConnect connect(connection);
    ExpectFormFont(connect.font(), 9.75);
    ExpectFormFont(connect.findChild<QLabel *>("lblDSN")->font(), 9.75);
}

}  // namespace
