#include "common/text_case.h"

#include <locale.h>
#include <wctype.h>

#include <boost/locale/utf.hpp>
#include <iterator>

namespace krelix {
namespace {

namespace utf = boost::locale::utf;

constexpr char32_t kEscapeBase = 0xDC00;  // + the byte, for bytes outside well-formed UTF-8

// Created once and never changed or freed: newlocale is not free, and a locale_t is safe to
// share between threads.
locale_t CaseLocale() {
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    return locale;
}

// Calls emit(code point) for each well-formed sequence and raw(byte) for each other byte.
template <typename Emit, typename Raw>
void ForEachCodePoint(std::string_view bytes, Emit emit, Raw raw) {
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (p != end) {
        const char* start = p;
        const utf::code_point c = utf::utf_traits<char>::decode(p, end);
        if (c == utf::illegal || c == utf::incomplete) {
            raw(static_cast<unsigned char>(*start));
            p = start + 1;
        } else {
            emit(static_cast<char32_t>(c));
        }
    }
}

}  // namespace

char32_t LowerCodePoint(char32_t c) {
    if (c < 0x80) {
        return (c >= U'A' && c <= U'Z') ? c + (U'a' - U'A') : c;
    }
    const locale_t locale = CaseLocale();
    if (locale == locale_t{} || (c >= 0xD800 && c <= 0xDFFF)) {
        return c;
    }
    return static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), locale));
}

std::string LowerCaseUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    auto sink = std::back_inserter(out);
    ForEachCodePoint(
        utf8,
        [&](char32_t c) {
            utf::utf_traits<char>::encode(static_cast<utf::code_point>(LowerCodePoint(c)), sink);
        },
        [&](unsigned char byte) { out.push_back(static_cast<char>(byte)); });
    return out;
}

std::u32string DecodeCodePoints(std::string_view bytes) {
    std::u32string out;
    out.reserve(bytes.size());
    ForEachCodePoint(
        bytes, [&](char32_t c) { out.push_back(c); },
        [&](unsigned char byte) { out.push_back(kEscapeBase + byte); });
    return out;
}

}  // namespace krelix
