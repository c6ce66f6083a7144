#include "catalogue/type_pattern.h"

namespace krelix {

std::u16string NormaliseTypePattern(std::u16string_view typed) {
    std::u16string pattern(typed);
    if (pattern.empty()) {
        return pattern;
    }
    if (pattern.find(u'.') == std::u16string::npos) {
        return u"*." + pattern;
    }
    if (pattern.front() == u'.') {
        return u"*" + pattern;
    }
    return pattern;
}

std::u16string TypeLabel(std::u16string_view pattern, std::u16string_view description) {
    std::u16string label;
    label.reserve(pattern.size() + description.size() + 2);
    label += u'(';
    label += pattern;
    label += u')';
    label += description;
    return label;
}

}  // namespace krelix
