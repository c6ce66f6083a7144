#include "preview/picture_fit.h"

#include <gtest/gtest.h>

namespace krelix {
namespace {

struct FitCase {
    const char* what;
    int W, H, w, h;
    PictureRect expected;
};

TEST(FitPicture, ScalesKeepsRatioAndTruncatesOffsets) {
    const FitCase cases[] = {
        {"small picture is enlarged, bars left and right", 400, 300, 10, 10, {50, 0, 300, 300}},
        {"wide picture shrinks, bars top and bottom", 400, 300, 1000, 500, {0, 50, 400, 200}},
        {"one free pixel goes to the picture", 401, 300, 4, 3, {0, 0, 401, 300}},
        {"three free pixels: offset 1, width W-2", 403, 300, 4, 3, {1, 0, 401, 300}},
        {"same size is drawn 1:1", 320, 200, 320, 200, {0, 0, 320, 200}},
        {"tall picture in a wide area", 300, 100, 10, 100, {145, 0, 10, 100}},
        {"one pixel picture fills the shorter side", 7, 5, 1, 1, {1, 0, 5, 5}},
        {"empty picture draws nothing", 400, 300, 0, 10, {}},
        {"empty area draws nothing", 0, 300, 10, 10, {}},
    };
    for (const FitCase& c : cases) {
        EXPECT_EQ(FitPicture(c.W, c.H, c.w, c.h), c.expected) << c.what;
    }
}

TEST(FitPicture, HugePicturesDoNotOverflow) {
    const PictureRect r = FitPicture(1920, 1080, 2'000'000'000, 1'000'000'000);
    EXPECT_EQ(r.width, 1920);
    EXPECT_EQ(r.x, 0);
    EXPECT_GE(r.y, 0);
    EXPECT_LE(r.height, 1080);
}

TEST(LimitPictureSize, ShrinksOnlyWhatIsTooLarge) {
    EXPECT_EQ(LimitPictureSize(800, 600, 1920, 1080), (PictureSize{800, 600}));
    EXPECT_EQ(LimitPictureSize(40000, 20000, 1920, 1080), (PictureSize{1920, 960}));
    EXPECT_EQ(LimitPictureSize(1000, 30000, 1920, 1080), (PictureSize{36, 1080}));
    // A sliver keeps at least one pixel.
    EXPECT_EQ(LimitPictureSize(100000, 1, 1000, 1000), (PictureSize{1000, 1}));
    EXPECT_EQ(LimitPictureSize(0, 10, 100, 100), (PictureSize{}));
}

}  // namespace
}  // namespace krelix
