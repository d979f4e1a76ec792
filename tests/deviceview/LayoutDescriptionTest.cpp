// The readable form of a column layout block used by vantor-layoutblock: parsing, the checks
// the program would apply, and the way back from a block.
#include "tools/layoutblock/LayoutDescription.h"

#include <gtest/gtest.h>

namespace vantor::layoutblock {
namespace {

using Column = ColumnLayout::Column;

TEST(LayoutDescription, ColumnsWithAndWithoutOrders)
{
    QString error;
    const auto columns =
        ParseColumns(QStringLiteral(" shown:120 , shown:120:2,hidden:90:5, 1:100:1,SHOWN:130:3,0:95:4"), false, &error);
    ASSERT_TRUE(columns) << error.toStdString();
    const std::vector<Column> expected = {{true, 120, 0}, {true, 120, 2}, {false, 90, 5},
                                          {true, 100, 1}, {true, 130, 3}, {false, 95, 4}};
    EXPECT_EQ(*columns, expected);
}

TEST(LayoutDescription, BadColumnListsSayWhatIsWrong)
{
    struct Case {
        const char* text;
        const char* mentions;
    };
    for (const Case c :
         {Case{"shown", "STATE:WIDTH"}, Case{"shown:1:2:3", "STATE:WIDTH"}, Case{"visible:120", "'shown' or 'hidden'"},
          Case{"shown:abc", "width"}, Case{"shown:-1", "width"}, Case{"shown:65536", "width"},
          Case{"shown:10:x", "order"}, Case{"shown:10:1,shown:10:1", "same order"},
          Case{"shown:10:0,shown:10:2", "between 0 and 1"}, Case{"", "STATE:WIDTH"}}) {
        QString error;
        EXPECT_FALSE(ParseColumns(QString::fromLatin1(c.text), false, &error)) << c.text;
        EXPECT_TRUE(error.contains(QString::fromLatin1(c.mentions))) << c.text << ": " << error.toStdString();
    }
}

TEST(LayoutDescription, LenientParsingKeepsWhatTheProgramWouldRefuse)
{
    QString error;
    const auto columns = ParseColumns(QStringLiteral("shown:70000:7,hidden:-5:7"), true, &error);
    ASSERT_TRUE(columns) << error.toStdString();
    EXPECT_EQ(*columns, (std::vector<Column>{{true, 70000, 7}, {false, -5, 7}}));
}

TEST(LayoutDescription, SortKeys)
{
    QString error;
    EXPECT_EQ(ParseSortKey(QStringLiteral("-4"), &error), -4);
    EXPECT_EQ(ParseSortKey(QStringLiteral(" 0 "), &error), 0);
    EXPECT_FALSE(ParseSortKey(QStringLiteral("two"), &error));
    EXPECT_FALSE(ParseSortKey(QStringLiteral("99999999999"), &error));
}

TEST(LayoutDescription, DefaultIsTheDeviceListAsTheProgramSetsItUp)
{
    const ColumnLayout layout = DefaultDeviceListLayout();
    EXPECT_EQ(layout.sortKey, 2);
    const std::vector<Column> expected = {{true, 120, 0}, {true, 120, 1}, {true, 120, 2},
                                          {true, 120, 3}, {true, 130, 4}, {true, 95, 5}};
    EXPECT_EQ(layout.columns, expected);
    EXPECT_TRUE(ProblemText(layout).isEmpty());
}

TEST(LayoutDescription, ProblemsInWords)
{
    ColumnLayout layout = DefaultDeviceListLayout();
    layout.sortKey = -7;
    EXPECT_TRUE(ProblemText(layout).contains(QStringLiteral("between -6 and 6")));
    layout.sortKey = 1;
    layout.columns[3].order = 0;
    EXPECT_TRUE(ProblemText(layout).contains(QStringLiteral("same order")));
}

TEST(LayoutDescription, HexBothWays)
{
    const std::vector<std::uint8_t> bytes = {0x00, 0x0f, 0xa5, 0xff};
    EXPECT_EQ(ToHex(bytes), QStringLiteral("000fa5ff"));
    EXPECT_EQ(FromHex(QStringLiteral("00 0F a5\nff")), bytes);
    EXPECT_FALSE(FromHex(QStringLiteral("abc")));
    EXPECT_FALSE(FromHex(QStringLiteral("zz")));
}

TEST(LayoutDescription, DescribeReadsABlockBack)
{
    ColumnLayout layout = DefaultDeviceListLayout();
    layout.sortKey = -3;
    layout.columns[2] = {false, 90, 5};
    layout.columns[5].order = 2;
    const std::vector<std::uint8_t> block = layout.Encode();
    EXPECT_EQ(Describe(block), QStringLiteral("sort key: -3\ncolumns: shown:120:0,shown:120:1,hidden:90:5,"
                                              "shown:120:3,shown:130:4,shown:95:2"));

    std::vector<std::uint8_t> longer = block;
    longer.push_back(0);
    EXPECT_TRUE(Describe(longer).startsWith(QStringLiteral("not a layout block")));
    EXPECT_TRUE(Describe(std::vector<std::uint8_t>{1, 2, 3}).startsWith(QStringLiteral("not a layout block")));

    layout.sortKey = 9;
    EXPECT_TRUE(Describe(layout.Encode()).contains(QStringLiteral("the program refuses this block")));
}

}  // namespace
}  // namespace vantor::layoutblock
