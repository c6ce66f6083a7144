#include "engine/wildcard_match.h"

namespace krelix {
namespace {

constexpr std::size_t kUnset = std::u32string_view::npos;

bool IsSuffixPattern(std::u32string_view pattern) {
    return pattern.front() == U'*' && pattern.find_first_of(U"*?", 1) == kUnset;
}

// Position of the first c at or after from, or the end of text.
std::size_t FindFrom(std::u32string_view text, char32_t c, std::size_t from) {
    const std::size_t at = text.find(c, from);
    return at == kUnset ? text.size() : at;
}

}  // namespace

bool WildcardMatch(std::u32string_view pattern, std::u32string_view name) {
    if (name.empty()) {
        return pattern.empty();
    }
    if (pattern.empty()) {
        return false;
    }
    if (pattern == U"*") {
        return true;
    }
    if (IsSuffixPattern(pattern)) {
        // The star stands for at least one character here.
        return name.size() >= pattern.size() && name.ends_with(pattern.substr(1));
    }

    const std::size_t patternEnd = pattern.size();
    const std::size_t nameEnd = name.size();
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t r = kUnset;  // position of the star to resume after, if any

    while (p < patternEnd) {
        if (pattern[p] == name[n]) {
            ++p;
            ++n;
        } else if (r != kUnset &&
                   (pattern[r + 1] == U'*' || pattern[r + 1] == U'?' || pattern[r + 1] == U'"')) {
            switch (pattern[r + 1]) {
                case U'"':
                    p = r + 2;
                    r = kUnset;
                    n = FindFrom(name, U'.', n);
                    break;
                case U'*':
                    p = r + 1;
                    r = kUnset;
                    break;
                default: {  // '?'
                    p = r + 2;
                    if (p == patternEnd) {
                        n = nameEnd;
                    } else {
                        const std::size_t from = n;
                        n = FindFrom(name, pattern[p], n);
                        if (n != from) {
                            r = kUnset;
                        }
                    }
                    break;
                }
            }
        } else {
            switch (pattern[p]) {
                case U'?':
                case U'>':
                    r = kUnset;
                    ++p;
                    ++n;
                    break;
                case U'*':
                    r = p;
                    ++p;
                    if (p == patternEnd) {
                        n = nameEnd;
                    }
                    break;
                case U'<': {
                    r = kUnset;
                    const std::size_t dot = name.rfind(U'.');
                    if (dot != kUnset && dot >= n) {
                        n = dot;
                    }
                    ++p;
                    break;
                }
                default:
                    if (r == kUnset) {
                        return false;  // the scan stops with the name unfinished
                    }
                    p = r + 1;
                    n = FindFrom(name, pattern[p], n);
                    break;
            }
        }
        if (n >= nameEnd) {
            break;
        }
    }

    if (p + 1 == patternEnd && n == nameEnd && pattern[p] == U'"') {
        ++p;
    }
    return p == patternEnd && n == nameEnd;
}

}  // namespace krelix
