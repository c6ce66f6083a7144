#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace krelix {

// Measures a UTF-8 text in pixels (the window's font, in the window; a fake in tests).
using TextWidthFn = std::function<int(std::string_view utf8)>;

// Shortens a UTF-8 path to fit maxWidth pixels the way file paths are usually shortened in
// titles: the file name stays whole and the end of the folder part is replaced by "...", as
// in "/home/ann/Pic.../holiday.jpg". When even ".../name" is too wide, the name itself is cut
// and ends in "...". A path that fits comes back unchanged. Characters are never split.
std::string ShortenPath(std::string_view path, int maxWidth, const TextWidthFn& textWidth);

}  // namespace krelix
