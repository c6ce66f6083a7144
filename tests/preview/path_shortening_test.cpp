#include "preview/path_shortening.h"

#include <gtest/gtest.h>

namespace krelix {
namespace {

// Every character is 10 pixels wide; continuation bytes of UTF-8 take no room.
int TenPerCharacter(std::string_view text) {
    int width = 0;
    for (unsigned char c : text) {
        width += (c & 0xC0) == 0x80 ? 0 : 10;
    }
    return width;
}

TEST(ShortenPath, CutsTheFolderPartAndKeepsTheName) {
    const std::string path = "/home/ann/Pictures/holiday/beach.jpg";  // 36 characters
    struct Case {
        int width;
        std::string expected;
    };
    const Case cases[] = {
        {360, path},
        {1000, path},
        {350, "/home/ann/Pictures/hol.../beach.jpg"},
        {200, "/home/a.../beach.jpg"},
        {130, ".../beach.jpg"},
        {120, "beach.jp..."},
        {100, "beach.j..."},
        {30, "..."},
        {0, "..."},
    };
    for (const Case& c : cases) {
        const std::string shortened = ShortenPath(path, c.width, TenPerCharacter);
        EXPECT_EQ(shortened, c.expected) << "width " << c.width;
        if (c.width >= 30) {
            EXPECT_LE(TenPerCharacter(shortened), c.width) << "width " << c.width;
        }
    }
}

TEST(ShortenPath, GrowsBackWhenWidened) {
    const std::string path = "/a/very/long/folder/name/file.txt";
    std::size_t last = 0;
    for (int width = 130; width <= 400; width += 10) {
        const std::string shortened = ShortenPath(path, width, TenPerCharacter);
        EXPECT_GE(shortened.size(), last) << "width " << width;
        last = shortened.size();
    }
    EXPECT_EQ(ShortenPath(path, 400, TenPerCharacter), path);
}

TEST(ShortenPath, NeverSplitsACharacter) {
    // "ä" and "€" are two and three bytes; the width allows half of them.
    const std::string path = "/\xC3\xA4\xC3\xA4\xC3\xA4\xE2\x82\xAC\xE2\x82\xAC/bild.png";
    for (int width = 0; width <= 150; width += 5) {
        const std::string shortened = ShortenPath(path, width, TenPerCharacter);
        for (std::size_t i = 0; i < shortened.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(shortened[i]);
            if (c >= 0xC0) {
                const std::size_t need = c >= 0xE0 ? 3 : 2;
                ASSERT_LE(i + need, shortened.size()) << "width " << width;
            }
        }
    }
    EXPECT_EQ(ShortenPath(path, 140, TenPerCharacter), "/\xC3\xA4.../bild.png");
}

TEST(ShortenPath, NameWithoutFolder) {
    EXPECT_EQ(ShortenPath("picture.png", 110, TenPerCharacter), "picture.png");
    EXPECT_EQ(ShortenPath("picture.png", 100, TenPerCharacter), "picture...");
}

}  // namespace
}  // namespace krelix
