#pragma once

#include <boost/unordered_set.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "engine/case_folder.h"

namespace krelix {

// The pattern rule of the walk: a request's patterns decoded once per run, and the test of a
// name against them in lower case. Read-only after construction, so any thread may use it.
class NameMatcher {
  public:
    using Patterns = boost::unordered_set<std::string>;

    NameMatcher() = default;  // no patterns: every name is kept
    // Patterns are UTF-8 and already lower case.
    NameMatcher(const Patterns& includePatterns, const Patterns& excludePatterns);

    // With include patterns, a name is kept when one of them accepts it (exclude patterns are
    // then not looked at); otherwise it is kept unless an exclude pattern accepts it.
    bool Keeps(std::string_view name) const;

  private:
    CaseFolder caseFolder_;
    std::vector<std::u32string> include_;
    std::vector<std::u32string> exclude_;
};

}  // namespace krelix
