#pragma once

#include <cstdint>

namespace krelix {

// The encoding of a text file the program writes.
enum class TextEncoding : std::int32_t {
    Ansi = 1,     // Latin-1 on Linux, see ANSI_TextFileWriter
    Utf16LE = 2,  // mark FF FE
    Utf16BE = 3,  // mark FE FF
    Utf8 = 4,     // mark EF BB BF
};

// Results of the text file and writer operations.
inline constexpr int kTextOk = 0;
inline constexpr int kTextError = -2;

}  // namespace krelix
