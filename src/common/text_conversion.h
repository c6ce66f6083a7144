#pragma once

#include <string>
#include <string_view>

namespace krelix {

// Conversions between the UTF-16 texts the windows show and the UTF-8 bytes the program stores.
// Malformed input never fails: every code unit that does not start a well-formed sequence (a
// lone surrogate, a stray or truncated UTF-8 byte, an overlong form, an encoded surrogate)
// becomes U+FFFD, and decoding goes on with the next unit, so no valid character is lost.

// The whole input, embedded zeros included.
std::string Utf8FromWide(std::u16string_view wide);

// The input up to its first zero byte.
std::u16string WideFromUtf8(std::string_view utf8);

// True when the bytes are well-formed UTF-8 (zero bytes included).
bool IsValidUtf8(std::string_view utf8);

}  // namespace krelix
