#include "engine/case_folder.h"

#include "common/text_case.h"

namespace krelix {

std::u32string CaseFolder::Decode(std::string_view text) {
    return DecodeCodePoints(text);
}

std::u32string CaseFolder::Lower(std::string_view name) const {
    std::u32string out = DecodeCodePoints(name);
    for (char32_t& c : out) {
        c = LowerCodePoint(c);
    }
    return out;
}

}  // namespace krelix
