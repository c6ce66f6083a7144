#include "operations/text/utf8_text_file_writer.h"

#include <string>

#include "common/text_conversion.h"

namespace krelix {

int UTF8_TextFileWriter::WriteUnit(char16_t unit) {
    return WriteRun(&unit, 1, 0, nullptr, nullptr);
}

int UTF8_TextFileWriter::WriteRun(const char16_t* text, std::size_t count, std::uint32_t,
                                  const char*, bool*) {
    const std::string bytes = Utf8FromWide(std::u16string_view(text, count));
    return WriteBytes(bytes.data(), bytes.size());
}

int UTF8_TextFileWriter::WriteMark() {
    static constexpr unsigned char kMark[] = {0xEF, 0xBB, 0xBF};
    return WriteBytes(kMark, sizeof kMark);
}

}  // namespace krelix
