#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace krelix {

class FileTypeCatalogue;

// settings.dat holds the catalogue as one MessagePack value: an array of categories, each an
// array [name, [types...]], each type an array [pattern, description], all texts UTF-8. The
// writer uses the shortest of the fix/16/32-bit array headers and of the 0xA0/0xDA/0xDB string
// headers (never 0xD9), so every category and type begins with 0x92.

// Largest settings.dat read or written. The built-in table takes 5,717 bytes; one MiB holds
// some 15,000 hand-made types and bounds what a crafted file can make us allocate.
inline constexpr std::size_t kMaxSettingsSize = std::size_t{1} << 20;

// The bytes of settings.dat for the catalogue's stored (UTF-8) texts; check marks are not kept.
std::string PackSettings(const FileTypeCatalogue& catalogue);

// Replaces the catalogue by the one in bytes, everything unchecked. Reading accepts more than
// the writer produces: str8 and bin headers for texts, categories and types of 0 or 1 elements,
// further elements of any kind (ignored), bytes after the value (ignored). A text ends at its
// first zero byte; bytes in it that are not UTF-8 become U+FFFD, as WideFromUtf8 decodes them.
// Anything else (malformed or truncated MessagePack, another shape, more than kMaxSettingsSize
// bytes) returns false with the catalogue empty.
bool UnpackSettings(std::string_view bytes, FileTypeCatalogue& catalogue);

}  // namespace krelix
