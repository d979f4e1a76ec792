// What start-up leaves out or puts off: icons made only when first drawn, the application style
// that defers the overflow buttons' pictures, no system proxy lookup, and the font reading on a
// thread of its own.
#include "app/CDorvexApp.h"
#include "app/CMainFrame.h"
#include "app/DeferredIconStyle.h"
#include "platform/FontPreload.h"
#include "resources/DeferredIconEngine.h"
#include "tests/support/LoopbackDevice.h"

#include <QApplication>
#include <QImage>
#include <QNetworkProxyFactory>
#include <QPainter>
#include <QPixmap>
#include <QStyleOption>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <array>
#include <memory>

namespace vantor {
namespace {

// An icon with two hand-made pictures of different colours: 8 and 16 pixels.
QIcon TwoSizeIcon()
{
    QIcon icon;
    for (const auto& [side, colour] : {std::pair{8, Qt::red}, std::pair{16, Qt::blue}}) {
        QPixmap picture(side, side);
        picture.fill(colour);
        icon.addPixmap(picture);
    }
    return icon;
}

QImage Picture(const QIcon& icon, int side, QIcon::Mode mode = QIcon::Normal)
{
    return icon.pixmap(QSize(side, side), 1.0, mode).toImage().convertToFormat(QImage::Format_ARGB32);
}

// The icon painted into a rectangle of a transparent image.
QImage Painted(const QIcon& icon, const QRect& rect)
{
    QImage image(24, 24, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    icon.paint(&painter, rect);
    return image;
}

// ---- deferred icon engine ----------------------------------------------------------------

TEST(DeferredIconEngine, MakesTheIconOnlyWhenAPictureIsFirstAsked)
{
    int made = 0;
    auto* engine = new DeferredIconEngine([&made] {
        ++made;
        return TwoSizeIcon();
    });
    const QIcon icon(engine);  // owns the engine
    const QIcon copy = icon;
    EXPECT_FALSE(icon.isNull());
    EXPECT_FALSE(copy.isNull());
    EXPECT_EQ(made, 0);
    EXPECT_FALSE(engine->IsMade());

    static_cast<void>(copy.pixmap(16, 16));
    EXPECT_EQ(made, 1);
    EXPECT_TRUE(engine->IsMade());
    static_cast<void>(icon.pixmap(8, 8));
    static_cast<void>(icon.actualSize(QSize(32, 32)));
    EXPECT_EQ(made, 1) << "made once, then answered from the made icon";
}

TEST(DeferredIconEngine, AnswersExactlyAsTheMadeIcon)
{
    const QIcon made = TwoSizeIcon();
    const QIcon deferred(new DeferredIconEngine(TwoSizeIcon));
    EXPECT_EQ(deferred.availableSizes(), made.availableSizes());
    for (const int side : {4, 8, 12, 16, 32}) {
        EXPECT_EQ(deferred.actualSize(QSize(side, side)), made.actualSize(QSize(side, side))) << side;
        for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled, QIcon::Active, QIcon::Selected})
            EXPECT_EQ(Picture(deferred, side, mode), Picture(made, side, mode)) << side << " " << mode;
    }
    for (const QRect& rect : {QRect(0, 0, 16, 16), QRect(3, 2, 10, 10), QRect(1, 1, 8, 20)})
        EXPECT_EQ(Painted(deferred, rect), Painted(made, rect)) << rect.x() << "," << rect.y();
}

TEST(DeferredIconEngine, AnEmptyMakerGivesNoPicture)
{
    const QIcon icon(new DeferredIconEngine([] { return QIcon(); }));
    EXPECT_TRUE(icon.pixmap(16, 16).isNull());
    EXPECT_TRUE(icon.availableSizes().isEmpty());
}

TEST(DeferredIconEngine, CloneAnswersLikeTheOriginal)
{
    int made = 0;
    const DeferredIconEngine engine([&made] {
        ++made;
        return TwoSizeIcon();
    });
    const QIcon clone(engine.clone());
    EXPECT_EQ(made, 0);
    EXPECT_EQ(Picture(clone, 16), Picture(TwoSizeIcon(), 16));
    EXPECT_EQ(made, 1);
}

// ---- application style -------------------------------------------------------------------

struct OverflowCase {
    QStyle::StandardPixmap picture;
    Qt::LayoutDirection direction;
};

class DeferredIconStyleTest : public ::testing::TestWithParam<OverflowCase> { };

TEST_P(DeferredIconStyleTest, OverflowPicturesAreTheBaseStylesOwn)
{
    const DeferredIconStyle style;
    QStyleOption option;
    option.direction = GetParam().direction;
    const QIcon deferred = style.standardIcon(GetParam().picture, &option);
    const QIcon own = style.baseStyle()->standardIcon(GetParam().picture, &option);
    ASSERT_FALSE(own.isNull());
    EXPECT_EQ(deferred.availableSizes(), own.availableSizes());
    for (const int side : {8, 12, 16, 32})
        for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled})
            EXPECT_EQ(Picture(deferred, side, mode), Picture(own, side, mode)) << side << " " << mode;
    EXPECT_EQ(Painted(deferred, QRect(2, 2, 16, 16)), Painted(own, QRect(2, 2, 16, 16)));
}

INSTANTIATE_TEST_SUITE_P(BothButtonsBothDirections, DeferredIconStyleTest,
                         ::testing::Values(OverflowCase{QStyle::SP_ToolBarHorizontalExtensionButton, Qt::LeftToRight},
                                           OverflowCase{QStyle::SP_ToolBarHorizontalExtensionButton, Qt::RightToLeft},
                                           OverflowCase{QStyle::SP_ToolBarVerticalExtensionButton, Qt::LeftToRight},
                                           OverflowCase{QStyle::SP_ToolBarVerticalExtensionButton, Qt::RightToLeft}));

TEST(DeferredIconStyle, OtherPicturesComeStraightFromTheBaseStyle)
{
    const DeferredIconStyle style;
    for (const QStyle::StandardPixmap picture :
         {QStyle::SP_ArrowLeft, QStyle::SP_MessageBoxWarning, QStyle::SP_DialogOkButton})
        EXPECT_EQ(Picture(style.standardIcon(picture), 16), Picture(style.baseStyle()->standardIcon(picture), 16))
            << picture;
}

TEST(DeferredIconStyle, OverflowPictureWithoutOptionFollowsTheApplicationDirection)
{
    const DeferredIconStyle style;
    QApplication::setLayoutDirection(Qt::RightToLeft);
    const QIcon deferred = style.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
    QApplication::setLayoutDirection(Qt::LeftToRight);
    QStyleOption rightToLeft;
    rightToLeft.direction = Qt::RightToLeft;
    EXPECT_EQ(Picture(deferred, 16),
              Picture(style.baseStyle()->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton, &rightToLeft), 16))
        << "the direction is the one at the time the icon was asked for";
}

TEST(DeferredIconStyle, OverflowPictureOutlivesItsStyle)
{
    QIcon deferred;
    {
        const DeferredIconStyle style;
        deferred = style.standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
    }
    const QImage picture = Picture(deferred, 16);
    EXPECT_FALSE(picture.isNull());
    EXPECT_EQ(picture, Picture(QApplication::style()->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton), 16));
}

TEST(DeferredIconStyle, InstallsOnce)
{
    DeferredIconStyle::Install();
    QStyle* const installed = QApplication::style();
    EXPECT_NE(qobject_cast<DeferredIconStyle*>(installed), nullptr);
    DeferredIconStyle::Install();
    EXPECT_EQ(QApplication::style(), installed);
}

// ---- the program's start-up --------------------------------------------------------------

TEST(Startup, FrameShowsTheBaseStylesOverflowPicture)
{
    test::LoopbackDevice device;
    CDorvexApp app(test::LoopbackAddresses(device.Port()));
    ASSERT_TRUE(app.InitInstance());
    auto* style = qobject_cast<DeferredIconStyle*>(QApplication::style());
    ASSERT_NE(style, nullptr);

    // Narrow enough for the toolbar's overflow button to show.
    app.MainFrame()->resize(100, 300);
    QToolButton* overflow =
        app.MainFrame()->ToolBar()->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
    ASSERT_NE(overflow, nullptr);
    QStyleOption option;
    option.direction = overflow->layoutDirection();
    const QIcon own = style->baseStyle()->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton, &option);
    for (const int side : {8, 16})
        EXPECT_EQ(Picture(overflow->icon(), side), Picture(own, side)) << side;
}

TEST(Startup, AsksNoSystemProxySettings)
{
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    test::LoopbackDevice device;
    CDorvexApp app(test::LoopbackAddresses(device.Port()));
    ASSERT_TRUE(app.InitInstance());
    EXPECT_FALSE(QNetworkProxyFactory::usesSystemConfiguration());
}

TEST(Startup, EndingRightAfterStartWaitsForTheFontsToBeRead)
{
    // Torn down at once, while the fonts may still be being read on the other thread: the
    // reading the application announced has run to its end before the application went.
    for (int run = 0; run < 3; ++run) {
        FontPreload fonts;
        test::LoopbackDevice device;
        auto app =
            std::make_unique<CDorvexApp>(test::LoopbackAddresses(device.Port()), CDorvexApp::STARTUP_STEPS{}, &fonts);
        ASSERT_TRUE(app->InitInstance());
        app.reset();
        EXPECT_TRUE(fonts.FilledDatabase()) << run;
    }
}

}  // namespace
}  // namespace vantor
