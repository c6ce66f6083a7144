#include "engine/case_folder.h"

#include <wctype.h>

namespace krelix {
namespace {

constexpr char32_t kEscapeBase = 0xDC00;  // + the byte, for bytes outside valid UTF-8

// Decodes one code point starting at text[i]; returns its length in bytes, 0 when the bytes
// there are not valid UTF-8 (overlong forms, surrogates and values past U+10FFFF included).
std::size_t DecodeOne(std::string_view text, std::size_t i, char32_t& out) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length;
    char32_t value;
    char32_t minimum;
    if (lead < 0x80) {
        out = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char next = byte(i + k);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return 0;
    }
    out = value;
    return length;
}

}  // namespace

CaseFolder::CaseFolder() : locale_(::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{})) {}

std::u32string CaseFolder::Decode(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t c;
        const std::size_t length = DecodeOne(text, i, c);
        if (length == 0) {
            out += kEscapeBase + static_cast<unsigned char>(text[i]);
            ++i;
        } else {
            out += c;
            i += length;
        }
    }
    return out;
}

std::u32string CaseFolder::Lower(std::string_view name) const {
    std::u32string out = Decode(name);
    for (char32_t& c : out) {
        if (c < 0x80) {
            if (c >= U'A' && c <= U'Z') {
                c += U'a' - U'A';
            }
        } else if (locale_ && (c < 0xD800 || c > 0xDFFF)) {
            c = static_cast<char32_t>(::towlower_l(static_cast<wint_t>(c), locale_.get()));
        }
    }
    return out;
}

}  // namespace krelix
