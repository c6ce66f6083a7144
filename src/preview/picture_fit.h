#pragma once

namespace krelix {

struct PictureRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PictureRect&) const = default;
};

struct PictureSize {
    int width = 0;
    int height = 0;
    bool operator==(const PictureSize&) const = default;
};

// Where a picture of w x h is drawn in an area of W x H: scaled by min(W / w, H / h), which
// enlarges small pictures, and centred. The offsets are truncated toward zero and the drawn
// size is what is left between them, so a free pixel goes to the picture, not to a bar.
// An empty picture gives an empty rectangle.
PictureRect FitPicture(int areaWidth, int areaHeight, int pictureWidth, int pictureHeight);

// The size to decode a picture at so that it is no larger than the limit: unchanged when it
// fits, otherwise shrunk to fit with its aspect ratio kept (never below 1 x 1). Decoding at
// this size bounds the memory a huge picture can take.
PictureSize LimitPictureSize(int pictureWidth, int pictureHeight, int maxWidth, int maxHeight);

}  // namespace krelix
