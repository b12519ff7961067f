// The program's icon on its windows and the toolbar icons' look, enabled and disabled.
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include "app/basGlobals.h"
#include "app/basMain.h"
#include "app/frmMain.h"
#include "tests/support/modalDialogs.h"
#include "tests/support/testEnvironment.h"
#include "ui/icons.h"

namespace {

const char *const kMainKeys[] = {"CONNECT", "NEW",    "OPEN",  "SAVE",    "EXEC",       "ARRANGE",
                                 "TIMEOUT", "SEARCH", "EXCEL", "CASCADE", "HORIZONTAL", "VERTICAL"};
const char *const kGridKeys[] = {"START", "DBL_BACK", "SGL_BACK", "SGL_NEXT", "DBL_NEXT", "END"};
// The main-toolbar buttons that are disabled while no query window is open.
const char *const kDisabledWithoutAWindow[] = {
    "SAVE", "EXEC", "ARRANGE", "TIMEOUT", "SEARCH", "EXCEL", "CASCADE", "HORIZONTAL", "VERTICAL"};

constexpr QSize kToolbarIconSize(16, 16);

QImage Rendered(const QIcon &icon, QIcon::Mode mode = QIcon::Normal,
                QSize size = kToolbarIconSize) {
    return icon.pixmap(size, mode).toImage().convertToFormat(QImage::Format_ARGB32);
}

// How much an image stands out from a background of `background`: the mean, over all pixels,
// of the difference in grey level weighted by the pixel's opacity (0 = invisible).
double Salience(const QImage &image, QColor background) {
    if (image.isNull()) {
        return 0;
    }
    const int base = qGray(background.rgb());
    double sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            sum += qAlpha(pixel) / 255.0 * std::abs(qGray(pixel) - base);
        }
    }
    return sum / (image.width() * image.height());
}

// The share of pixels that are not fully transparent.
double Coverage(const QImage &image) {
    if (image.isNull()) {
        return 0;
    }
    int covered = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            covered += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        }
    }
    return double(covered) / (image.width() * image.height());
}

QToolButton *Button(const frmMain &window, const char *key) {
    auto *button = window.findChild<QToolButton *>(QString::fromLatin1(key));
    EXPECT_NE(button, nullptr) << key;
    return button;
}

class ProgramLookTest : public testing::Test {
protected:
    void SetUp() override {
        ClearSettings();
        ResetSharedState();
    }
    void TearDown() override { ResetSharedState(); }
};

TEST_F(ProgramLookTest, TheProgramIconShowsOnTheFrameTheQueryWindowsAndTheVersionDialog) {
    PrepareApplication();
    const QImage icon = Rendered(ProgramIcon(), QIcon::Normal, QSize(32, 32));
    // The SVG is really drawn (an icon engine for SVG is installed): a mostly opaque tile.
    ASSERT_GT(Coverage(icon), 0.5);
    EXPECT_TRUE(Rendered(QApplication::windowIcon(), QIcon::Normal, QSize(32, 32)) == icon)
        << "the application has another icon";

    frmMain window;
    window.show();
    window.LoadNewDoc();
    EXPECT_TRUE(Rendered(window.windowIcon(), QIcon::Normal, QSize(32, 32)) == icon)
        << "the frame shows another icon";
    for (QMdiSubWindow *sub : window.mdiArea()->subWindowList()) {
        EXPECT_TRUE(Rendered(sub->windowIcon(), QIcon::Normal, QSize(32, 32)) == icon)
            << "a query window shows another icon";
    }

    bool shown = false;
    AnswerNextDialog([&](QWidget *dialog) {
        auto *picIcon = dialog->findChild<QLabel *>(QStringLiteral("picIcon"));
        ASSERT_NE(picIcon, nullptr);
        const QImage shownIcon = picIcon->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_GT(Coverage(shownIcon), 0.5);
        EXPECT_TRUE(shownIcon == Rendered(ProgramIcon(), QIcon::Normal, shownIcon.size()))
            << "the version dialog shows another icon";
        shown = true;
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    window.findChild<QAction *>(QStringLiteral("mnuHelpVersion"))->trigger();
    EXPECT_TRUE(shown);
}

TEST_F(ProgramLookTest, EveryToolbarButtonHasAVisibleIconOfItsOwn) {
    frmMain window;
    const QStyle *style = window.style();
    // Icons that read as something else: a refresh arrow, the toolbar's overflow chevrons.
    const QList<QImage> misleading = {
        Rendered(style->standardIcon(QStyle::SP_BrowserReload)),
        Rendered(style->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton)),
        Rendered(style->standardIcon(QStyle::SP_ToolBarVerticalExtensionButton)),
    };
    QList<const char *> keys(std::begin(kMainKeys), std::end(kMainKeys));
    keys.append(QList<const char *>(std::begin(kGridKeys), std::end(kGridKeys)));
    for (const char *key : keys) {
        SCOPED_TRACE(key);
        QToolButton *button = Button(window, key);
        ASSERT_NE(button, nullptr);
        const QImage image = Rendered(button->icon());
        EXPECT_GT(Coverage(image), 0.2);
        EXPECT_FALSE(misleading.contains(image));
    }
}

TEST_F(ProgramLookTest, DisabledToolbarButtonsLookDisabled) {
    // With the program's own icons, and with a desktop theme's (Adwaita, where installed).
    const QString previousTheme = QIcon::themeName();
    const QStringList previousPaths = QIcon::themeSearchPaths();
    QIcon::setThemeSearchPaths(previousPaths + QStringList{QStringLiteral("/usr/share/icons")});
    for (const QString &theme : {QStringLiteral("hicolor"), QStringLiteral("Adwaita")}) {
        SCOPED_TRACE(theme.toStdString());
        QIcon::setThemeName(theme);
        frmMain window;
        window.show();
        ASSERT_EQ(gDocCount, 0);
        for (const char *key : kDisabledWithoutAWindow) {
            SCOPED_TRACE(key);
            QToolButton *button = Button(window, key);
            ASSERT_NE(button, nullptr);
            ASSERT_FALSE(button->isEnabled());
            const QColor background = button->palette().color(QPalette::Window);
            // The icon's disabled form stands out at most half as much as its normal form...
            const double normal = Salience(Rendered(button->icon(), QIcon::Normal), background);
            const double disabled = Salience(Rendered(button->icon(), QIcon::Disabled), background);
            EXPECT_GT(normal, 0.0);
            EXPECT_LE(disabled, normal * 0.5) << "normal " << normal << ", disabled " << disabled;

            // ... and so does the button as it is painted.
            const QImage disabledButton = button->grab().toImage();
            button->setEnabled(true);
            const QImage enabledButton = button->grab().toImage();
            button->setEnabled(false);
            const QColor buttonBackground = enabledButton.pixelColor(0, 0);
            EXPECT_LE(Salience(disabledButton, buttonBackground),
                      Salience(enabledButton, buttonBackground) * 0.6);
        }
    }
    QIcon::setThemeName(previousTheme);
    QIcon::setThemeSearchPaths(previousPaths);
}

TEST(DisabledLookTest, KeepsTheShapeButFadesAndGreysIt) {
    QImage image(4, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(200, 0, 0, 255));
    image.setPixel(1, 0, qRgba(0, 0, 0, 255));
    image.setPixel(2, 0, qRgba(0, 0, 0, 0));
    image.setPixel(3, 0, qRgba(255, 255, 255, 128));
    const QImage faded =
        DisabledLook(QPixmap::fromImage(image)).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(faded.size(), image.size());
    for (int x = 0; x < image.width(); ++x) {
        SCOPED_TRACE(x);
        const QRgb before = image.pixel(x, 0);
        const QRgb after = faded.pixel(x, 0);
        EXPECT_NEAR(qAlpha(after), qAlpha(before) * 0.35, 1.5);
        if (qAlpha(after) > 0) {
            EXPECT_EQ(qRed(after), qGreen(after));
            EXPECT_EQ(qGreen(after), qBlue(after));
            EXPECT_NEAR(qRed(after), qGray(before), 3);
        }
    }
}

}  // namespace
