#include "common/text_conversion.h"

#include <boost/locale/utf.hpp>
#include <iterator>

namespace krelix {
namespace {

namespace utf = boost::locale::utf;

constexpr utf::code_point kReplacement = 0xFFFD;

bool IsBad(utf::code_point c) {
    return c == utf::illegal || c == utf::incomplete;
}

// Boost's own utf_to_utf drops the units it has read past when a sequence turns out
// malformed (a lone high surrogate swallows the next character), so we step back instead.
template <typename Out, typename In>
std::basic_string<Out> Convert(const In* p, const In* end) {
    std::basic_string<Out> out;
    out.reserve(static_cast<std::size_t>(end - p));
    auto sink = std::back_inserter(out);
    while (p != end) {
        const In* start = p;
        utf::code_point c = utf::utf_traits<In>::decode(p, end);
        if (IsBad(c)) {
            c = kReplacement;
            p = start + 1;
        }
        utf::utf_traits<Out>::encode(c, sink);
    }
    return out;
}

}  // namespace

std::string Utf8FromWide(std::u16string_view wide) {
    return Convert<char>(wide.data(), wide.data() + wide.size());
}

std::u16string WideFromUtf8(std::string_view utf8) {
    utf8 = utf8.substr(0, utf8.find('\0'));
    return Convert<char16_t>(utf8.data(), utf8.data() + utf8.size());
}

bool IsValidUtf8(std::string_view utf8) {
    const char* p = utf8.data();
    const char* end = p + utf8.size();
    while (p != end) {
        if (IsBad(utf::utf_traits<char>::decode(p, end))) {
            return false;
        }
    }
    return true;
}

}  // namespace krelix
