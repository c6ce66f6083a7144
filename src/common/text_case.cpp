#include "common/text_case.h"

#include <locale.h>
#include <wctype.h>

#include <boost/locale/utf.hpp>
#include <iterator>

namespace krelix {
namespace {

namespace utf = boost::locale::utf;

// Created once and never changed or freed: newlocale is not free, and a locale_t is safe to
// share between threads.
locale_t CaseLocale() {
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    return locale;
}

utf::code_point Lower(utf::code_point c, locale_t locale) {
    if (locale != locale_t{}) {
        return static_cast<utf::code_point>(towlower_l(static_cast<wint_t>(c), locale));
    }
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

}  // namespace

std::string LowerCaseUtf8(std::string_view utf8) {
    const locale_t locale = CaseLocale();
    std::string out;
    out.reserve(utf8.size());
    auto sink = std::back_inserter(out);
    const char* p = utf8.data();
    const char* end = p + utf8.size();
    while (p != end) {
        const char* start = p;
        const utf::code_point c = utf::utf_traits<char>::decode(p, end);
        if (c == utf::illegal || c == utf::incomplete) {
            out.push_back(*start);
            p = start + 1;
        } else {
            utf::utf_traits<char>::encode(Lower(c, locale), sink);
        }
    }
    return out;
}

}  // namespace krelix
