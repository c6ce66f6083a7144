#include "operations/text/utf16le_text_file_writer.h"

#include <bit>

namespace krelix {

int UTF16LE_TextFileWriter::WriteUnit(char16_t unit) {
    const unsigned char bytes[] = {static_cast<unsigned char>(unit & 0xFF),
                                   static_cast<unsigned char>(unit >> 8)};
    return WriteBytes(bytes, sizeof bytes);
}

int UTF16LE_TextFileWriter::WriteRun(const char16_t* text, std::size_t count, std::uint32_t,
                                     const char*, bool*) {
    if constexpr (std::endian::native == std::endian::little) {
        return WriteBytes(text, count * sizeof(char16_t));
    } else {
        for (std::size_t i = 0; i < count; ++i) {
            if (WriteUnit(text[i]) != kTextOk) {
                return kTextError;
            }
        }
        return kTextOk;
    }
}

int UTF16LE_TextFileWriter::WriteMark() {
    static constexpr unsigned char kMark[] = {0xFF, 0xFE};
    return WriteBytes(kMark, sizeof kMark);
}

}  // namespace krelix
