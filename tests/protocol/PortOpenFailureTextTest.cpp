#include "protocol/PortOpenFailureText.h"
#include "resources/StringTable.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantor {
namespace {

TEST(PortOpenFailureText, StoredTextGivesThePortInQuotes)
{
    const auto stored = LoadStringUtf8(ids::IDS_PORT_OPEN_FAIL);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(PortOpenFailureText(*stored, 4000), "Socket port '4000' Open fail \xEF\xBC\x81");
}

TEST(PortOpenFailureText, NumberReplacesTheFirstLineFeed)
{
    struct Row {
        const char* stored;
        int port;
        const char* expected;
    };
    const std::vector<Row> table = {
        {"no line feed", 4000, "4000no line feed"},
        {"", 4000, "4000"},
        {"\n", 4000, "4000"},
        {"\nafter", 4000, "4000after"},
        {"before\n", 4000, "before4000"},
        {"a\nb\nc", 4000, "a4000b\nc"},
        {"port \n!", 36, "port 36!"},
        {"port \n!", -1, "port -1!"},
    };
    for (const Row& row : table) {
        SCOPED_TRACE(row.stored);
        EXPECT_EQ(PortOpenFailureText(row.stored, row.port), row.expected);
    }
}

}  // namespace
}  // namespace vantor
