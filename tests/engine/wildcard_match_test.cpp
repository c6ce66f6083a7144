#include "engine/wildcard_match.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/case_folder.h"

namespace krelix {
namespace {

struct MatchCase {
    const char* pattern;
    const char* name;
    bool expected;
};

// Includes the rows where this single-resume scan answers differently from a full glob
// matcher (a*c/abcc, ab*cd/abcdcd, *.jpg/.jpg, abc*/abc).
constexpr MatchCase kCases[] = {
    {"*.*", "abc.txt", true},
    {"*.*", ".profile", true},
    {"*.*", "a.b.c", true},
    {"*.*", "abc", false},
    {"*.*", "abc.", false},
    {"*.jpg", "a.jpg", true},
    {"*.jpg", "a.jpg.jpg", true},
    {"*.jpg", ".jpg", false},
    {"*.jpg", "x.jpeg", false},
    {"*s", "class", true},
    {"*", "x", true},
    {"*", "any name at all.txt", true},
    {"*", "", false},
    {"", "", true},
    {"", "a", false},
    {"abc*", "abc", false},
    {"abc*", "abcd", true},
    {"a*c", "ac", true},
    {"a*c", "abbc", true},
    {"a*c", "abcc", false},
    {"ab*cd", "abcdcd", false},
    {"ab*cd*ef", "abxxcdyyef", true},
    {"abc?", "abc", false},
    {"abc?", "abcd", true},
    {"a?c", "ac", false},
    {"file?.txt", "file1.txt", true},
    {"file*.txt", "file12.txt", true},
    {"*.t?t", "a.txt", true},
    {"a**b", "ab", true},
    {"a<.txt", "abc.txt", true},
    {"a>c", "abc", true},
    // Further consequences of the algorithm.
    {"*.JPG", "photo.jpg", false},  // exact comparison: callers lower-case
    {"abc", "abc", true},           // no wildcard at all
    {"abc", "abcd", false},         // pattern used up first
    {"a\"", "a", true},             // trailing double quote: the end of the name
    {"a\"", "a.", false},           // ... but the dot is not consumed there
    {"a*\".txt", "ab.txt", true},   // double quote after a star: on to the next dot
    {"a*\"txt", "ab.txt", false},   // ... which it does not consume
    {"a*?x", "abbx", true},         // '?' after a star: on to the next 'x'
    {"a*?", "abc", true},           // '?' closing the pattern after a star
    {"a*<.txt", "ab.c.txt", true},  // '<' jumps to the last dot
    {"x<", "xab", false},           // no dot after '<': the rest of the name is left over
    {"*a*", "bab", true},
    {"?", "", false},
    {"?", "é", true},                  // one code point, two bytes
    {"*.txt", "\xff.txt", true},       // undecodable byte: still one character
    {"?.txt", "\xff\xfe.txt", false},  // two undecodable bytes are two characters
};

TEST(WildcardMatch, AnswersEveryRowOfTheTable) {
    for (const MatchCase& row : kCases) {
        EXPECT_EQ(row.expected,
                  WildcardMatch(CaseFolder::Decode(row.pattern), CaseFolder::Decode(row.name)))
            << "pattern \"" << row.pattern << "\", name \"" << row.name << "\"";
    }
}

TEST(CaseFolder, LowersUnicodeLettersAndKeepsUndecodableBytesDistinct) {
    const CaseFolder folder;
    EXPECT_EQ(U"photo.jpg", folder.Lower("Photo.JPG"));
    EXPECT_EQ(U"äöü σ я", folder.Lower("ÄÖÜ Σ Я"));
    EXPECT_EQ(CaseFolder::Decode("a\xff"), folder.Lower("A\xff"));
    // Bytes that only look like UTF-8: overlong, surrogate, truncated. Each byte is its own
    // character, and no two different byte strings decode alike.
    for (const char* odd : {"\xc0\xaf", "\xed\xa0\x80", "\xe2\x82", "\xf5\x80\x80\x80"}) {
        const std::u32string decoded = CaseFolder::Decode(odd);
        EXPECT_EQ(std::char_traits<char>::length(odd), decoded.size()) << odd;
    }
    EXPECT_NE(CaseFolder::Decode("\xed\xb2\x80"), CaseFolder::Decode("\xdc\x80"));
    EXPECT_NE(CaseFolder::Decode("\xff"), CaseFolder::Decode("\xfe"));
}

}  // namespace
}  // namespace krelix
