#pragma once

#include <string>
#include <string_view>

namespace krelix {

// UTF-16 to UTF-8. A surrogate without its partner becomes U+FFFD, so the result is always
// valid UTF-8.
std::string Utf8FromWide(std::u16string_view text);

// UTF-8 bytes to UTF-16, ending at the first zero byte. Bytes that are not UTF-8 (file names
// are arbitrary bytes on Linux) become U+FFFD, one per maximal invalid sequence, so that such
// a name can still be shown and exported.
std::u16string WideFromUtf8(std::string_view bytes);

}  // namespace krelix
