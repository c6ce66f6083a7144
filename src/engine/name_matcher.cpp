#include "engine/name_matcher.h"

#include <algorithm>

#include "engine/wildcard_match.h"

namespace krelix {
namespace {

std::vector<std::u32string> DecodeAll(const NameMatcher::Patterns& patterns) {
    std::vector<std::u32string> decoded;
    decoded.reserve(patterns.size());
    for (const std::string& pattern : patterns) {
        decoded.push_back(CaseFolder::Decode(pattern));
    }
    return decoded;
}

bool AnyAccepts(const std::vector<std::u32string>& patterns, std::u32string_view name) {
    return std::any_of(patterns.begin(), patterns.end(),
                       [&](const std::u32string& pattern) { return WildcardMatch(pattern, name); });
}

}  // namespace

NameMatcher::NameMatcher(const Patterns& includePatterns, const Patterns& excludePatterns)
    : include_(DecodeAll(includePatterns)), exclude_(DecodeAll(excludePatterns)) {}

bool NameMatcher::Keeps(std::string_view name) const {
    if (include_.empty() && exclude_.empty()) {
        return true;
    }
    const std::u32string lower = caseFolder_.Lower(name);
    if (!include_.empty()) {
        return AnyAccepts(include_, lower);
    }
    return !AnyAccepts(exclude_, lower);
}

}  // namespace krelix
