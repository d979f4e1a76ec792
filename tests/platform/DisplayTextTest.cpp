#include "platform/listcontrol/TextBytes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantor::lc {
namespace {

using namespace std::string_literals;

struct DisplayCase {
    const char* label;
    std::string bytes;
    std::u16string expected;
};

TEST(DisplayTextFromBytesRules, Utf8WhenValidElseOneCharacterPerByte)
{
    const std::vector<DisplayCase> table = {
        {"empty", "", u""},
        {"ascii", "Lab 2", u"Lab 2"},
        {"two-byte sequence", "Caf\xC3\xA9", u"Caf\u00E9"},
        {"three-byte sequence", "\xE5\xAE\xA4", u"\u5BA4"},
        {"four-byte sequence", "\xF0\x9F\x98\x80", u"\U0001F600"},
        {"initial byte-order mark kept",
         "\xEF\xBB\xBF"
         "A",
         u"\uFEFFA"},
        {"full-width exclamation", "\xEF\xBC\x81", u"\uFF01"},
        // Not UTF-8: every byte becomes the character of the same number.
        {"lone Latin-1 byte", "Caf\xE9", u"Caf\u00E9"},
        {"sequence cut at the end", "ab\xC3", u"ab\u00C3"},
        {"four-byte sequence cut at the end", "\xF0\x9F\x98", u"\u00F0\u009F\u0098"},
        {"stray continuation byte",
         "\x80"
         "abc",
         u"\u0080abc"},
        {"overlong slash", "\xC0\xAF", u"\u00C0\u00AF"},
        {"overlong three-byte", "\xE0\x80\xAF", u"\u00E0\u0080\u00AF"},
        {"encoded surrogate", "\xED\xA0\x80", u"\u00ED\u00A0\u0080"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", u"\u00F4\u0090\u0080\u0080"},
        {"invalid lead byte",
         "\xFF"
         "x",
         u"\u00FFx"},
        {"valid then invalid", "\xC3\xA9\xE9", u"\u00C3\u00A9\u00E9"},
        {"embedded NUL", "a\0b"s, u"a\0b"s},
    };
    for (const DisplayCase& row : table) {
        SCOPED_TRACE(row.label);
        const QString text = DisplayTextFromBytes(row.bytes);
        EXPECT_EQ(text.toStdU16String(), row.expected);
    }
}

TEST(DisplayTextFromBytesRules, EachCallStandsAlone)
{
    // A sequence cut at the end of one name must not be completed by the next name.
    EXPECT_EQ(DisplayTextFromBytes("x\xC3").toStdU16String(), u"x\u00C3");
    EXPECT_EQ(DisplayTextFromBytes("\xA9y").toStdU16String(), u"\u00A9y");
}

}  // namespace
}  // namespace vantor::lc
