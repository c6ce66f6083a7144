#include "common/text_conversion.h"

#include <gtest/gtest.h>

namespace krelix {
namespace {

using namespace std::string_literals;

struct WellFormed {
    const char* label;
    std::u16string wide;
    std::string utf8;
};

TEST(TextConversion, WellFormedTextRoundTrips) {
    const WellFormed cases[] = {
        {"empty", u"", ""},
        {"ascii", u"*.TXT", "*.TXT"},
        {"two-byte", u"Fotos \u00C4rger", "Fotos \xC3\x84rger"},
        {"three-byte", u"\u6587\u4EF6", "\xE6\x96\x87\xE4\xBB\xB6"},
        {"surrogate pair", u"\U0001F600x", "\xF0\x9F\x98\x80x"},
        {"last code point", u"\U0010FFFF", "\xF4\x8F\xBF\xBF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.utf8, Utf8FromWide(c.wide)) << c.label;
        EXPECT_EQ(c.wide, WideFromUtf8(c.utf8)) << c.label;
        EXPECT_TRUE(IsValidUtf8(c.utf8)) << c.label;
    }
}

TEST(TextConversion, ZeroIsKeptTowardsUtf8AndEndsTheTextTowardsUtf16) {
    EXPECT_EQ("ab\0cd"s, Utf8FromWide(u"ab\0cd"s));
    EXPECT_EQ(u"ab", WideFromUtf8("ab\0cd"s));
    EXPECT_EQ(u"", WideFromUtf8("\0abc"s));
    EXPECT_TRUE(IsValidUtf8("ab\0cd"s));
}

TEST(TextConversion, LoneSurrogatesBecomeReplacementWithoutLosingNeighbours) {
    const struct {
        const char* label;
        std::u16string wide;
        std::string utf8;
    } cases[] = {
        {"high then letter",
         u"a\xD800"
         u"c"s,
         "a\xEF\xBF\xBD"
         "c"},
        {"high at end", u"a\xD83D"s, "a\xEF\xBF\xBD"},
        {"low alone", u"\xDC00z"s, "\xEF\xBF\xBDz"},
        {"two highs then pair", u"\xD800\xD800\xD83D\xDE00"s,
         "\xEF\xBF\xBD\xEF\xBF\xBD\xF0\x9F\x98\x80"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.utf8, Utf8FromWide(c.wide)) << c.label;
        EXPECT_TRUE(IsValidUtf8(Utf8FromWide(c.wide))) << c.label;
    }
}

TEST(TextConversion, MalformedUtf8BecomesOneReplacementPerBadByte) {
    const struct {
        const char* label;
        std::string utf8;
        std::u16string wide;
    } cases[] = {
        {"stray continuation", "a\x80z", u"a\uFFFDz"},
        {"truncated then letter",
         "\xE2\x82"
         "A",
         u"\uFFFD\uFFFDA"},
        {"truncated at end", "ok\xF0\x9F\x98", u"ok\uFFFD\uFFFD\uFFFD"},
        {"overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"latin-1 name", "caf\xE9.txt", u"caf\uFFFD.txt"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.wide, WideFromUtf8(c.utf8)) << c.label;
        EXPECT_FALSE(IsValidUtf8(c.utf8)) << c.label;
    }
}

}  // namespace
}  // namespace krelix
