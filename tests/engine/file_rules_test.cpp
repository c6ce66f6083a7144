#include <gtest/gtest.h>

#include "engine/name_matcher.h"
#include "engine/search_flags.h"
#include "engine/search_request.h"

namespace krelix {
namespace {

DirEntry Entry(const char* name, std::uint64_t size, std::uint32_t attributes = 0) {
    DirEntry entry;
    entry.kind = EntryKind::Regular;
    entry.name = name;
    entry.fullPath = std::string("/d/") + name;
    entry.size = size;
    entry.attributes = attributes;
    return entry;
}

// The attribute bits the walk cannot produce on an ordinary file system (compressed,
// temporary, system) are checked here on entries made by hand.
TEST(IsFileSkipped, EachRuleOnItsOwn) {
    struct Case {
        const char* what;
        std::uint32_t flags;
        DirEntry entry;
        bool skipped;
    };
    const Case cases[] = {
        {"compressed", SKIP_COMPRESSED_FILES, Entry("c", 1, ATTRIBUTE_COMPRESSED), true},
        {"compressed, rule off", 0, Entry("c", 1, ATTRIBUTE_COMPRESSED), false},
        {"temporary", SKIP_TEMP_FILES, Entry("t", 1, ATTRIBUTE_TEMPORARY), true},
        {"system", SKIP_SYSTEM_FILES, Entry("s", 1, ATTRIBUTE_SYSTEM), true},
        {"boot file names mean nothing here", SKIP_SYSTEM_FILES, Entry("autoexec.bat", 1), false},
        {"zero size", SKIP_ZERO_SIZE_FILES, Entry("z", 0), true},
        {"zero size, rule off", 0, Entry("z", 0), false},
        {"hidden", SKIP_HIDDEN_FILES, Entry(".h", 1, ATTRIBUTE_HIDDEN), true},
        {"hidden, rule off", DEFAULT_SEARCH_FLAGS & ~SKIP_HIDDEN_FILES,
         Entry(".h", 1, ATTRIBUTE_HIDDEN), false},
        {"hidden folder rule is not a file rule", SKIP_HIDDEN_FOLDERS,
         Entry(".h", 1, ATTRIBUTE_HIDDEN), false},
        {"every rule, plain file", DEFAULT_SEARCH_FLAGS | SKIP_ZERO_SIZE_FILES, Entry("p", 1),
         false},
    };
    const NameMatcher everything;
    for (const Case& c : cases) {
        SearchRequest request;
        request.optionFlags = c.flags;
        EXPECT_EQ(c.skipped, request.IsFileSkipped(c.entry, everything)) << c.what;
    }
}

TEST(IsFileSkipped, SizeRangeBoundsAreInclusive) {
    SearchRequest request;
    request.optionFlags = FILTER_SIZE_RANGE;
    request.minSize = 10;
    request.maxSize = 20;
    const NameMatcher everything;
    for (auto [size, skipped] : {std::pair{9ull, true},
                                 {10ull, false},
                                 {20ull, false},
                                 {21ull, true},
                                 {(1ull << 32) + 10, true}}) {
        EXPECT_EQ(skipped, request.IsFileSkipped(Entry("f", size), everything)) << size;
    }
}

TEST(NameMatcher, MatchesLowerCasedNamesAgainstTheRightSet) {
    const NameMatcher jpegOnly({"*.jpg", "*.jpeg"}, {"*.jpg"});
    EXPECT_TRUE(jpegOnly.Keeps("Photo.JPG"));
    EXPECT_TRUE(jpegOnly.Keeps("scan.Jpeg"));
    EXPECT_FALSE(jpegOnly.Keeps("song.mp3"));

    const NameMatcher noMusic({}, {"*.mp3", "ä*"});
    EXPECT_FALSE(noMusic.Keeps("SONG.MP3"));
    EXPECT_FALSE(noMusic.Keeps("Ärger.txt"));
    EXPECT_TRUE(noMusic.Keeps("photo.jpg"));

    // A pattern that is not lower case never matches: the request promises lower case.
    const NameMatcher upper({"*.JPG"}, {});
    EXPECT_FALSE(upper.Keeps("photo.JPG"));
}

}  // namespace
}  // namespace krelix
