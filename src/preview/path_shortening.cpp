#include "preview/path_shortening.h"

#include <optional>
#include <vector>

namespace krelix {
namespace {

constexpr std::string_view kEllipsis = "...";

// Byte offsets where a character starts, plus the end: the only places a cut may go.
std::vector<std::size_t> CharacterBoundaries(std::string_view text) {
    std::vector<std::size_t> cuts;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            cuts.push_back(i);
        }
    }
    cuts.push_back(text.size());
    return cuts;
}

// The longest prefix of head (cut at a character start) for which make(prefix) fits, by
// binary search: the width only grows with the prefix. Empty when none fits.
template <typename Make>
std::optional<std::string> LongestFitting(std::string_view head, bool wholeAllowed, int maxWidth,
                                          const TextWidthFn& textWidth, Make make) {
    std::vector<std::size_t> cuts = CharacterBoundaries(head);
    if (!wholeAllowed) {
        cuts.pop_back();
    }
    std::optional<std::string> best;
    std::size_t low = 0;
    std::size_t high = cuts.size();  // candidates are cuts[low, high)
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        std::string candidate = make(head.substr(0, cuts[mid]));
        if (textWidth(candidate) <= maxWidth) {
            best = std::move(candidate);
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    return best;
}

}  // namespace

std::string ShortenPath(std::string_view path, int maxWidth, const TextWidthFn& textWidth) {
    if (textWidth(path) <= maxWidth) {
        return std::string(path);
    }
    const std::size_t slash = path.rfind('/');
    const std::string_view folder =
        slash == std::string_view::npos ? std::string_view{} : path.substr(0, slash);
    const std::string_view tail = path.substr(folder.size());  // "/name", or the whole path
    if (slash != std::string_view::npos) {
        auto shortened =
            LongestFitting(folder, true, maxWidth, textWidth, [&](std::string_view prefix) {
                std::string out(prefix);
                out += kEllipsis;
                out += tail;
                return out;
            });
        if (shortened) {
            return *shortened;
        }
    }
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    // "name..." would hide that nothing was cut, so the name is always shortened here.
    auto cutName = LongestFitting(name, false, maxWidth, textWidth, [](std::string_view prefix) {
        std::string out(prefix);
        out += kEllipsis;
        return out;
    });
    return cutName ? *cutName : std::string(kEllipsis);
}

}  // namespace krelix
