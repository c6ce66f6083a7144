#pragma once

#include <string_view>

namespace krelix {

// Whether a name fits a file-type pattern such as "*.jpg". One forward scan with a single
// resume point and no general backtracking, so it answers differently from a full glob
// matcher in places (e.g. "a*c" does not match "abcc"); the file-type filter relies on
// exactly these answers. Special pattern characters: '*' any run, '?' one character,
// '<' skip to the last dot, '>' one character, '"' a dot or the end of the name.
// Characters are compared exactly: callers lower-case both sides. Stateless, any thread.
bool WildcardMatch(std::u32string_view pattern, std::u32string_view name);

}  // namespace krelix
