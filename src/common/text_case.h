#pragma once

#include <string>
#include <string_view>

namespace krelix {

// One code point in lower case by the C.UTF-8 locale's simple case mapping ("Ä" gives "ä",
// "Σ" gives "σ"). Where that locale is missing, only ASCII letters are lowered.
char32_t LowerCodePoint(char32_t c);

// Lower case of UTF-8 text, code point by code point (no length-changing mappings). Bytes that
// are not well-formed UTF-8 are kept as they are, so a name in another encoding still
// lower-cases its ASCII letters and keeps its other bytes.
std::string LowerCaseUtf8(std::string_view utf8);

// The code points of a name. Every byte that is not part of well-formed UTF-8 becomes a code
// point of its own (U+DC80..U+DCFF, which well-formed UTF-8 never yields), so an undecodable
// name still compares equal only to itself.
std::u32string DecodeCodePoints(std::string_view bytes);

}  // namespace krelix
