#include "preview/picture_fit.h"

#include <algorithm>
#include <cmath>

namespace krelix {

PictureRect FitPicture(int areaWidth, int areaHeight, int pictureWidth, int pictureHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0 || areaWidth <= 0 || areaHeight <= 0) {
        return {};
    }
    const double scale = std::min(static_cast<double>(areaWidth) / pictureWidth,
                                  static_cast<double>(areaHeight) / pictureHeight);
    // static_cast truncates toward zero.
    const int x = static_cast<int>((areaWidth - scale * pictureWidth) * 0.5);
    const int y = static_cast<int>((areaHeight - scale * pictureHeight) * 0.5);
    return {x, y, areaWidth - 2 * x, areaHeight - 2 * y};
}

PictureSize LimitPictureSize(int pictureWidth, int pictureHeight, int maxWidth, int maxHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0) {
        return {};
    }
    if (pictureWidth <= maxWidth && pictureHeight <= maxHeight) {
        return {pictureWidth, pictureHeight};
    }
    const double scale = std::min(static_cast<double>(std::max(maxWidth, 1)) / pictureWidth,
                                  static_cast<double>(std::max(maxHeight, 1)) / pictureHeight);
    return {std::max(1, static_cast<int>(std::lround(pictureWidth * scale))),
            std::max(1, static_cast<int>(std::lround(pictureHeight * scale)))};
}

}  // namespace krelix
