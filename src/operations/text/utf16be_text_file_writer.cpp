#include "operations/text/utf16be_text_file_writer.h"

namespace krelix {

int UTF16BE_TextFileWriter::WriteUnit(char16_t unit) {
    const unsigned char bytes[] = {static_cast<unsigned char>(unit >> 8),
                                   static_cast<unsigned char>(unit & 0xFF)};
    return WriteBytes(bytes, sizeof bytes);
}

int UTF16BE_TextFileWriter::WriteRun(const char16_t* text, std::size_t count, std::uint32_t,
                                     const char*, bool*) {
    const std::size_t size = count * 2;
    char* out = scratch_.Reserve(size);
    for (std::size_t i = 0; i < count; ++i) {
        out[2 * i] = static_cast<char>(text[i] >> 8);
        out[2 * i + 1] = static_cast<char>(text[i] & 0xFF);
    }
    return WriteBytes(out, size);
}

int UTF16BE_TextFileWriter::WriteMark() {
    static constexpr unsigned char kMark[] = {0xFE, 0xFF};
    return WriteBytes(kMark, sizeof kMark);
}

}  // namespace krelix
