// The tint of a shaded column, channel by channel.

#include "listview/ShadeTint.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

struct TintCase {
    const char* name;
    QColor background;
    QColor tint;
};

class ShadeTintTest : public ::testing::TestWithParam<TintCase> { };

TEST_P(ShadeTintTest, FollowsTheBackground)
{
    const TintCase& row = GetParam();
    const QColor tint = ShadeTint(row.background);
    EXPECT_EQ(tint.red(), row.tint.red());
    EXPECT_EQ(tint.green(), row.tint.green());
    EXPECT_EQ(tint.blue(), row.tint.blue());
    EXPECT_EQ(tint.alpha(), 255);
}

INSTANTIATE_TEST_SUITE_P(Backgrounds, ShadeTintTest,
                         ::testing::Values(
                             // Near-white (every channel above 240): a little darker.
                             TintCase{"white", QColor(255, 255, 255), QColor(247, 247, 247)},
                             TintCase{"just_near_white", QColor(241, 241, 241), QColor(233, 233, 233)},
                             TintCase{"near_white_mixed", QColor(250, 245, 241), QColor(242, 237, 233)},
                             // One channel at 240 is not near-white: everything lightens, 232 and above saturate.
                             TintCase{"one_channel_240", QColor(240, 255, 255), QColor(255, 255, 255)},
                             TintCase{"blue_grey", QColor(100, 150, 200), QColor(110, 165, 220)},
                             TintCase{"saturating_red", QColor(235, 10, 0), QColor(255, 11, 0)},
                             TintCase{"below_and_at_232", QColor(231, 232, 9), QColor(254, 255, 9)},
                             TintCase{"black", QColor(0, 0, 0), QColor(0, 0, 0)},
                             TintCase{"navy", QColor(0, 0, 128), QColor(0, 0, 140)},
                             TintCase{"translucent_white", QColor(255, 255, 255, 40), QColor(247, 247, 247)}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(ShadeTint, LightenedChannelIsAConstantExpression)
{
    static_assert(LightenedChannel(100) == 110);
    static_assert(LightenedChannel(231) == 254);
    static_assert(LightenedChannel(232) == 255);
    static_assert(LightenedChannel(9) == 9);
    EXPECT_EQ(LightenedChannel(255), 255);
}

}  // namespace
}  // namespace vantor
