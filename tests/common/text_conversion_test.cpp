#include "common/text_conversion.h"

#include <gtest/gtest.h>

namespace krelix {
namespace {

struct DecodeCase {
    const char* what;
    std::string bytes;
    std::u16string text;
};

TEST(WideFromUtf8, DecodesValidTextAndReplacesEachBadSequenceOnce) {
    const DecodeCase cases[] = {
        {"empty", "", u""},
        {"ascii", "a,b\"c", u"a,b\"c"},
        {"two and three bytes", "\xC3\xA9\xE2\x82\xAC", u"\u00E9\u20AC"},
        {"four bytes make a pair", "\xF0\x9F\x98\x80", u"\U0001F600"},
        {"U+FFFF", "\xEF\xBF\xBF", u"\uFFFF"},
        {"lone continuation byte", "a\x80z", u"a\uFFFDz"},
        {"byte FF", "\xFFname", u"\uFFFDname"},
        {"overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"cut at the end", "ab\xE2\x82", u"ab\uFFFD"},
        {"cut before ascii",
         "\xF0\x9F"
         "a",
         u"\uFFFDa"},
        {"ends at the first zero", std::string("ab\0cd", 5), u"ab"},
    };
    for (const DecodeCase& c : cases) {
        EXPECT_EQ(c.text, WideFromUtf8(c.bytes)) << c.what;
    }
}

TEST(Utf8FromWide, EncodesPairsAndReplacesUnpairedSurrogates) {
    EXPECT_EQ("", Utf8FromWide(u""));
    EXPECT_EQ("a\xC3\xA9\xEF\xBF\xBF", Utf8FromWide(u"a\u00E9\uFFFF"));
    EXPECT_EQ("\xF0\x9F\x98\x80", Utf8FromWide(u"\U0001F600"));
    const char16_t highThenLetter[] = {0xD83D, u'A', 0};
    EXPECT_EQ(
        "\xEF\xBF\xBD"
        "A",
        Utf8FromWide(highThenLetter));
    const char16_t loneLow[] = {0xDE00, 0};
    EXPECT_EQ("\xEF\xBF\xBD", Utf8FromWide(loneLow));
    const char16_t highAtEnd[] = {u'x', 0xD83D, 0};
    EXPECT_EQ("x\xEF\xBF\xBD", Utf8FromWide(highAtEnd));
}

TEST(TextConversion, ValidTextRoundTrips) {
    const std::string text = "Mötley Crüe – 東京 \xF0\x9F\x8E\xB8.flac";
    EXPECT_EQ(text, Utf8FromWide(WideFromUtf8(text)));
}

}  // namespace
}  // namespace krelix
