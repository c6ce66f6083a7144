#include "operations/text/ansi_text_file_writer.h"

namespace krelix {

int ANSI_TextFileWriter::WriteUnit(char16_t unit) {
    return WriteRun(&unit, 1, 0, nullptr, nullptr);
}

int ANSI_TextFileWriter::WriteRun(const char16_t* text, std::size_t count, std::uint32_t,
                                  const char* defaultChar, bool* usedDefault) {
    const char fallback = defaultChar != nullptr && defaultChar[0] != '\0' ? defaultChar[0] : '?';
    bool used = false;
    char* out = scratch_.Reserve(count);
    std::size_t size = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const char16_t unit = text[i];
        if (unit <= 0xFF) {
            out[size++] = static_cast<char>(unit);
            continue;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < count && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            ++i;
        }
        out[size++] = fallback;
        used = true;
    }
    if (usedDefault != nullptr) {
        *usedDefault = used;
    }
    return WriteBytes(out, size);
}

}  // namespace krelix
