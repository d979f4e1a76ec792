// The framework stand-ins: the indicator status bar, lock-key decoding, the read-only profile,
// dialog units and the artwork.
#include "platform/DialogUnits.h"
#include "platform/FontPreload.h"
#include "platform/IndicatorStatusBar.h"
#include "platform/LockKeys.h"
#include "platform/ProfileStore.h"
#include "resources/Icons.h"
#include "resources/StringTable.h"
#include "resources/SvgIconEngine.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <future>
#include <set>

namespace vantor {
namespace {

constexpr std::array kIndicators = {0, ids::ID_INDICATOR_CAPS, ids::ID_INDICATOR_NUM, ids::ID_INDICATOR_SCRL,
                                    ids::ID_INDICATOR_ONLINE};

// ---- status bar --------------------------------------------------------------------------

class IndicatorStatusBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_bar.SetIdleText(QStringLiteral("Ready"));
        ASSERT_TRUE(m_bar.SetIndicators(kIndicators));
    }
    IndicatorStatusBar m_bar;
};

// Each command's id leads to its own prompt (a swapped or repeated id would show one command's
// tooltip on another's button), and no two commands or indicators share an id.
TEST(CommandIds, EachLeadsToItsOwnPromptAndNoTwoAreAlike)
{
    const std::pair<int, const char*> prompts[] = {
        {ids::ID_REFRESH, "Refresh"},
        {ids::ID_MODIFY_IP, "Modify IP"},
        {ids::ID_MODIFY_MAC, "Modify MAC"},
        {ids::ID_WEB_BROWSER, "Web Browser"},
        {ids::ID_SOFT_RESET, "Soft Reset"},
        {ids::ID_UPDATE_FIRMWARE, "Update Firmware"},
        {ids::ID_VIEW_TOOLBAR, "Switch toolbar"},
        {ids::ID_VIEW_STATUS_BAR, "Switch status bar"},
        {ids::ID_APP_ABOUT, "About"},
        {ids::ID_APP_EXIT, "Exit"},
    };
    std::set<int> seen;
    for (const auto& [id, tooltip] : prompts) {
        EXPECT_TRUE(LoadString(id).endsWith(QLatin1Char('\n') + QString::fromUtf8(tooltip))) << id;
        EXPECT_TRUE(seen.insert(id).second) << id;
    }
    for (const int id :
         {ids::ID_VIEW_AUTOARRANGE, ids::ID_VIEW_SMALLICON, ids::ID_VIEW_LARGEICON, ids::ID_VIEW_DETAILS,
          ids::ID_INDICATOR_ONLINE, ids::ID_INDICATOR_CAPS, ids::ID_INDICATOR_NUM, ids::ID_INDICATOR_SCRL})
        EXPECT_TRUE(seen.insert(id).second) << id;
    EXPECT_EQ(LoadString(ids::ID_INDICATOR_CAPS), QStringLiteral("CAP"));
}

TEST_F(IndicatorStatusBarTest, FindsPanesByIndicatorId)
{
    EXPECT_EQ(m_bar.PaneCount(), 5);
    EXPECT_EQ(m_bar.CommandToIndex(0), 0);
    EXPECT_EQ(m_bar.CommandToIndex(ids::ID_INDICATOR_CAPS), 1);
    EXPECT_EQ(m_bar.CommandToIndex(ids::ID_INDICATOR_NUM), 2);
    EXPECT_EQ(m_bar.CommandToIndex(ids::ID_INDICATOR_SCRL), 3);
    EXPECT_EQ(m_bar.CommandToIndex(ids::ID_INDICATOR_ONLINE), 4);
    EXPECT_EQ(m_bar.CommandToIndex(12345), -1);
}

TEST_F(IndicatorStatusBarTest, RefusesBadIndexes)
{
    for (const int index : {-1, 5, 100}) {
        EXPECT_FALSE(m_bar.SetPaneText(index, QStringLiteral("x")));
        EXPECT_TRUE(m_bar.GetPaneText(index).isEmpty());
        EXPECT_FALSE(m_bar.SetPaneInfo(index, 1, 0, 10));
        EXPECT_EQ(m_bar.PaneWidget(index), nullptr);
    }
    // The online pane looked up by a missing id is -1: writing there changes nothing.
    EXPECT_FALSE(m_bar.SetPaneText(m_bar.CommandToIndex(4242), QStringLiteral("Online : 1")));
}

TEST_F(IndicatorStatusBarTest, MessagePaneShowsPromptThenIdleText)
{
    EXPECT_EQ(m_bar.DisplayedPaneText(0), QStringLiteral("Ready"));
    m_bar.ShowPrompt(QStringLiteral("Search all device again。"));
    EXPECT_EQ(m_bar.DisplayedPaneText(0), QStringLiteral("Search all device again。"));
    m_bar.ShowPrompt(QString());
    EXPECT_EQ(m_bar.DisplayedPaneText(0), QStringLiteral("Ready"));
}

TEST_F(IndicatorStatusBarTest, PaneInfoSetsTheWidthOfThePane)
{
    ASSERT_TRUE(m_bar.SetPaneInfo(4, ids::ID_INDICATOR_ONLINE, IndicatorStatusBar::SBPS_NORMAL, 100));
    int id = 0;
    unsigned style = 1;
    int width = 0;
    ASSERT_TRUE(m_bar.GetPaneInfo(4, id, style, width));
    EXPECT_EQ(id, ids::ID_INDICATOR_ONLINE);
    EXPECT_EQ(style, IndicatorStatusBar::SBPS_NORMAL);
    EXPECT_EQ(width, 100);
    EXPECT_EQ(m_bar.PaneWidget(4)->width(), 100);
    EXPECT_TRUE(m_bar.SetPaneText(4, QStringLiteral("Online : 7")));
    EXPECT_EQ(m_bar.DisplayedPaneText(4), QStringLiteral("Online : 7"));
}

struct LockCase {
    const char* name;
    std::optional<LockKeyState> state;
    const char* caps;
    const char* num;
    const char* scroll;
};

class LockPaneTest : public ::testing::TestWithParam<LockCase> { };

TEST_P(LockPaneTest, LockPanesShowTheirTextOnlyWhileTheKeyIsOn)
{
    IndicatorStatusBar bar;
    ASSERT_TRUE(bar.SetIndicators(kIndicators));
    bar.ApplyLockKeys(GetParam().state);
    EXPECT_EQ(bar.DisplayedPaneText(1), QString::fromLatin1(GetParam().caps));
    EXPECT_EQ(bar.DisplayedPaneText(2), QString::fromLatin1(GetParam().num));
    EXPECT_EQ(bar.DisplayedPaneText(3), QString::fromLatin1(GetParam().scroll));
    // The texts themselves stay; a pane only stops drawing it.
    EXPECT_EQ(bar.GetPaneText(1), QStringLiteral("CAP"));
    EXPECT_EQ(bar.GetPaneText(2), QStringLiteral("NUM"));
    EXPECT_EQ(bar.GetPaneText(3), QStringLiteral("SCRL"));
}

INSTANTIATE_TEST_SUITE_P(States, LockPaneTest,
                         ::testing::Values(LockCase{"Unknown", std::nullopt, "", "", ""},
                                           LockCase{"AllOff", LockKeyState{false, false, false}, "", "", ""},
                                           LockCase{"Caps", LockKeyState{true, false, false}, "CAP", "", ""},
                                           LockCase{"Num", LockKeyState{false, true, false}, "", "NUM", ""},
                                           LockCase{"Scroll", LockKeyState{false, false, true}, "", "", "SCRL"},
                                           LockCase{"All", LockKeyState{true, true, true}, "CAP", "NUM", "SCRL"}),
                         [](const ::testing::TestParamInfo<LockCase>& param) { return std::string(param.param.name); });

TEST(IndicatorStatusBar, LockPanesAreWideEnoughForTheirText)
{
    IndicatorStatusBar bar;
    ASSERT_TRUE(bar.SetIndicators(kIndicators));
    for (int index = 1; index <= 3; ++index) {
        const QWidget* pane = bar.PaneWidget(index);
        EXPECT_GE(pane->width(), pane->fontMetrics().horizontalAdvance(bar.GetPaneText(index))) << index;
    }
}

// ---- lock keys ---------------------------------------------------------------------------

struct BitsCase {
    std::uint32_t bits;
    LockKeyState expected;
};

class LockBitsTest : public ::testing::TestWithParam<BitsCase> { };

TEST_P(LockBitsTest, DecodesIndicatorBits)
{
    EXPECT_EQ(LockKeysFromIndicatorBits(GetParam().bits), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Bits, LockBitsTest,
                         ::testing::Values(BitsCase{0x0, {false, false, false}}, BitsCase{0x1, {true, false, false}},
                                           BitsCase{0x2, {false, true, false}}, BitsCase{0x4, {false, false, true}},
                                           BitsCase{0x7, {true, true, true}},
                                           // Other indicators (compose, kana, mouse keys...) are not locks.
                                           BitsCase{0xFFFFFFF8u, {false, false, false}},
                                           BitsCase{0x8000000Bu, {true, true, false}}));

TEST(LockKeys, UnknownWithoutAnX11Connection)
{
    // The tests run on the offscreen platform: no keyboard state to read.
    ASSERT_NE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    EXPECT_FALSE(ReadLockKeys().has_value());
}

// ---- profile -----------------------------------------------------------------------------

TEST(ProfileStore, ReadsABinaryValueBySectionAndEntry)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("profile.ini"));
    const QByteArray block("\x01\x00\xff\x10layout", 10);
    {
        QSettings writer(path, QSettings::IniFormat);
        writer.setValue(QStringLiteral("Settings/Overview"), block);
        writer.setValue(QStringLiteral("Settings/Text"), QStringLiteral("not binary"));
        writer.setValue(QStringLiteral("Other/Overview"), QByteArray("elsewhere"));
    }
    const QSettings reader(path, QSettings::IniFormat);
    EXPECT_EQ(ReadProfileBinary(reader, QStringLiteral("Settings"), QStringLiteral("Overview")), block);
    EXPECT_EQ(ReadProfileBinary(reader, QStringLiteral("Other"), QStringLiteral("Overview")), QByteArray("elsewhere"));
    EXPECT_FALSE(ReadProfileBinary(reader, QStringLiteral("Settings"), QStringLiteral("Missing")).has_value());
    EXPECT_FALSE(ReadProfileBinary(reader, QStringLiteral("Settings"), QStringLiteral("Text")).has_value());
    EXPECT_FALSE(ReadProfileBinary(reader, QString(), QStringLiteral("Overview")).has_value());
    EXPECT_FALSE(ReadProfileBinary(reader, QStringLiteral("Settings"), QString()).has_value());
}

TEST(ProfileStore, ReadingNeverWrites)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("absent.ini"));
    {
        const QSettings reader(path, QSettings::IniFormat);
        EXPECT_FALSE(ReadProfileBinary(reader, QStringLiteral("Settings"), QStringLiteral("Overview")).has_value());
    }
    EXPECT_FALSE(QFile::exists(path));
}

TEST(ProfileStore, GarbageFileGivesNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("garbage.ini"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\x00\xff[Settings\nOverview=@ByteArray(\n\x01\x02", 36);
    file.close();
    const QSettings reader(path, QSettings::IniFormat);
    const auto value = ReadProfileBinary(reader, QStringLiteral("Settings"), QStringLiteral("Overview"));
    // Whatever the parser makes of it, only a binary value may come back.
    if (value.has_value()) {
        EXPECT_LE(value->size(), 36);
    }
}

// ---- dialog units ------------------------------------------------------------------------

struct UnitsCase {
    int baseX;
    int baseY;
    QRect units;
    QRect pixels;
};

class DialogUnitsTest : public ::testing::TestWithParam<UnitsCase> { };

TEST_P(DialogUnitsTest, ConvertsBothCornersWithRounding)
{
    const DialogUnits units(GetParam().baseX, GetParam().baseY);
    EXPECT_EQ(units.ToPixels(GetParam().units), GetParam().pixels);
}

// Expected values worked out by hand: x * baseX / 4 and y * baseY / 8, rounded half up.
INSTANTIATE_TEST_SUITE_P(Rects, DialogUnitsTest,
                         ::testing::Values(
                             // About box at base (6, 13): 235 x 55 -> 352.5 x 89.375.
                             UnitsCase{6, 13, QRect(0, 0, 235, 55), QRect(0, 0, 353, 89)},
                             // OK button (178, 7, 50, 16): left 267, right 342, top 11.375, bottom 37.375.
                             UnitsCase{6, 13, QRect(178, 7, 50, 16), QRect(267, 11, 75, 26)},
                             // Version line (40, 10, 119, 8) at base (7, 16): left 70, right 278.25, top 20, bottom 36.
                             UnitsCase{7, 16, QRect(40, 10, 119, 8), QRect(70, 20, 208, 16)},
                             UnitsCase{8, 16, QRect(11, 17, 20, 20), QRect(22, 34, 40, 40)}));

TEST(DialogUnits, BaseFromFontIsPositiveAndScalesWithTheFont)
{
    QFont small = QApplication::font();
    small.setPointSize(9);
    QFont large = small;
    large.setPointSize(18);
    const DialogUnits a(small);
    const DialogUnits b(large);
    EXPECT_GT(a.BaseX(), 0);
    EXPECT_GT(a.BaseY(), 0);
    EXPECT_GT(b.BaseX(), a.BaseX());
    EXPECT_GT(b.BaseY(), a.BaseY());
    EXPECT_EQ(a.ToPixelsY(8), a.BaseY()) << "eight vertical units are one character height";
    EXPECT_EQ(a.ToPixelsX(4), a.BaseX()) << "four horizontal units are one average character";
}

TEST(DialogUnits, DegenerateBaseIsClamped)
{
    const DialogUnits units(0, -3);
    EXPECT_EQ(units.BaseX(), 1);
    EXPECT_EQ(units.BaseY(), 1);
    EXPECT_EQ(units.ToPixelsX(8), 2);
}

// ---- artwork -----------------------------------------------------------------------------

bool HasOpaquePixels(const QIcon& icon, int size)
{
    const QImage image = icon.pixmap(size, size).toImage();
    if (image.size() != QSize(size, size))
        return false;
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            opaque += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
    // A real picture covers a fair part of its square, and leaves some of it transparent.
    return opaque > size * size / 8 && opaque < size * size;
}

TEST(Artwork, EveryToolbarButtonHasAPicture)
{
    for (const int id : {ids::ID_REFRESH, ids::ID_MODIFY_IP, ids::ID_MODIFY_MAC, ids::ID_WEB_BROWSER,
                         ids::ID_SOFT_RESET, ids::ID_UPDATE_FIRMWARE, ids::ID_APP_ABOUT}) {
        EXPECT_TRUE(HasOpaquePixels(ToolbarIcon(id), 32)) << id;
        EXPECT_TRUE(HasOpaquePixels(ToolbarIcon(id), 16)) << id;
    }
    EXPECT_TRUE(ToolbarIcon(ids::ID_APP_EXIT).isNull());
    EXPECT_TRUE(ToolbarIcon(0).isNull());
}

TEST(Artwork, ApplicationAndListIcons)
{
    EXPECT_TRUE(HasOpaquePixels(AppIcon(), 32));
    for (const int id : kListImageIcons) {
        EXPECT_TRUE(HasOpaquePixels(ListIcon(id), 16)) << id;
        EXPECT_TRUE(HasOpaquePixels(ListIcon(id), 32)) << id;
    }
    EXPECT_TRUE(ListIcon(150).isNull());
    EXPECT_TRUE(ListIcon(-1).isNull());
    EXPECT_EQ(kListImageIcons[0], kListImageIcons[1]) << "index 0 and 1 show the same board";
}

TEST(Artwork, PicturesDifferFromEachOther)
{
    std::vector<QImage> images;
    for (const int id : {ids::ID_REFRESH, ids::ID_MODIFY_IP, ids::ID_MODIFY_MAC, ids::ID_WEB_BROWSER,
                         ids::ID_SOFT_RESET, ids::ID_UPDATE_FIRMWARE, ids::ID_APP_ABOUT})
        images.push_back(ToolbarIcon(id).pixmap(32, 32).toImage());
    for (const int id : {128, 147, 151, 153, 155, 157, 158})
        images.push_back(ListIcon(id).pixmap(32, 32).toImage());
    for (std::size_t i = 0; i < images.size(); ++i)
        for (std::size_t j = i + 1; j < images.size(); ++j)
            EXPECT_NE(images[i], images[j]) << i << " " << j;
}

// The disabled look of a picture: a grey two thirds the picture's, one third the disabled window
// colour, at four fifths of the picture's opacity. Worked out by hand for a window colour of
// (30, 60, 90); grey = (11 red + 16 green + 5 blue) / 32, rounded down.
struct DisabledPixelCase {
    QRgb normal;
    QRgb disabled;
};

class DisabledLookTest : public ::testing::TestWithParam<DisabledPixelCase> {
protected:
    void SetUp() override
    {
        m_saved = QGuiApplication::palette();
        QPalette palette = m_saved;
        palette.setColor(QPalette::Disabled, QPalette::Window, QColor(30, 60, 90));
        QGuiApplication::setPalette(palette);
    }
    void TearDown() override { QGuiApplication::setPalette(m_saved); }
    QPalette m_saved;
};

TEST_P(DisabledLookTest, GreysThePictureOnTheWindowColour)
{
    QImage normal(3, 2, QImage::Format_ARGB32);
    normal.fill(GetParam().normal);
    const QImage disabled = SvgIconEngine::DisabledImage(normal);
    ASSERT_EQ(disabled.size(), normal.size());
    for (int y = 0; y < disabled.height(); ++y)
        for (int x = 0; x < disabled.width(); ++x)
            EXPECT_EQ(disabled.pixel(x, y), GetParam().disabled) << Qt::hex << GetParam().normal;
}

INSTANTIATE_TEST_SUITE_P(Pixels, DisabledLookTest,
                         ::testing::Values(DisabledPixelCase{qRgba(255, 255, 255, 255), qRgba(180, 190, 200, 204)},
                                           DisabledPixelCase{qRgba(0, 0, 0, 255), qRgba(10, 20, 30, 204)},
                                           DisabledPixelCase{qRgba(255, 0, 0, 255), qRgba(68, 78, 88, 204)},
                                           DisabledPixelCase{qRgba(0, 255, 0, 128), qRgba(94, 104, 114, 102)},
                                           DisabledPixelCase{qRgba(0, 0, 0, 0), qRgba(10, 20, 30, 0)}));

TEST(Artwork, DisabledPictureIsTheGreyOfTheNormalOneWhicheverIsAskedFirst)
{
    for (const int id : {ids::ID_REFRESH, ids::ID_MODIFY_IP, ids::ID_APP_ABOUT}) {
        const QIcon normalFirst = ToolbarIcon(id);
        const QImage normal = normalFirst.pixmap(32, 32).toImage();
        const QImage disabledAfter = normalFirst.pixmap(32, 32, QIcon::Disabled).toImage();
        const QIcon disabledFirst = ToolbarIcon(id);
        const QImage disabledBefore = disabledFirst.pixmap(32, 32, QIcon::Disabled).toImage();
        EXPECT_EQ(disabledFirst.pixmap(32, 32).toImage(), normal) << id;
        EXPECT_EQ(disabledAfter, disabledBefore) << id;
        // Compared as pixmaps hold them (premultiplied).
        EXPECT_EQ(disabledAfter, QPixmap::fromImage(SvgIconEngine::DisabledImage(normal)).toImage()) << id;
        EXPECT_NE(disabledAfter, normal) << id;
    }
}

}  // namespace
}  // namespace vantor

namespace vantor {
namespace {

// The font reading never holds the program up: it ends whether or not the application object
// was announced, and once announced it has filled the font database when it finishes.
TEST(FontPreload, EndsWithoutTheApplicationBeingAnnounced)
{
    // Made and dropped on a thread of the test's own, so that a reading that never ends shows
    // as a failure here rather than as a hung test.
    for (const bool waitFirst : {false, true}) {
        auto ended = std::async(std::launch::async, [waitFirst] {
            FontPreload fonts;
            if (waitFirst)
                fonts.WaitForConfiguration();
            fonts.Finish();  // as an application that never started would
            return fonts.FilledDatabase();
        });
        ASSERT_EQ(ended.wait_for(std::chrono::seconds(30)), std::future_status::ready) << waitFirst;
        EXPECT_FALSE(ended.get()) << "the font database is the application's to fill";
    }
}

TEST(FontPreload, FillsTheFontDatabaseOnceTheApplicationIsAnnounced)
{
    FontPreload fonts;
    fonts.WaitForConfiguration();
    fonts.ApplicationReady();
    fonts.Finish();
    fonts.Finish();  // a second time is harmless
    EXPECT_TRUE(fonts.FilledDatabase());
}

}  // namespace
}  // namespace vantor
