#pragma once

#include <string>
#include <string_view>

namespace krelix {

// Lower case of UTF-8 text, code point by code point, by the C.UTF-8 locale's simple case
// mapping (so "Ä" gives "ä" and "Σ" gives "σ"; no length-changing mappings). Bytes that are not
// well-formed UTF-8 are kept as they are, so a name in another encoding still lower-cases its
// ASCII letters and keeps its other bytes. Where the C.UTF-8 locale is missing, only ASCII
// letters are lowered.
std::string LowerCaseUtf8(std::string_view utf8);

}  // namespace krelix
