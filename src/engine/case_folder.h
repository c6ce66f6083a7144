#pragma once

#include <string>
#include <string_view>

namespace krelix {

// Turns names (native bytes) into the code-point text that WildcardMatch compares, with the
// undecodable bytes kept distinct (see DecodeCodePoints). Stateless; any thread may use it.
class CaseFolder {
  public:
    // The name in lower case (Unicode letters included; undecodable bytes stay as they are).
    std::u32string Lower(std::string_view name) const;

    // The text decoded as above, letter case kept.
    static std::u32string Decode(std::string_view text);
};

}  // namespace krelix
