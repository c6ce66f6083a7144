#include "catalogue/catalogue_text.h"

#include <utility>

#include "common/text_conversion.h"

namespace krelix {

const std::u16string& CatalogueText::Wide() const {
    if (wideStale_) {
        wide_ = WideFromUtf8(utf8_);
        wideStale_ = false;
    }
    return wide_;
}

void CatalogueText::Set(std::u16string_view wide) {
    wide_.assign(wide);
    utf8_ = Utf8FromWide(wide);
    wideStale_ = false;
}

void CatalogueText::SetUtf8(std::string utf8) {
    utf8_ = std::move(utf8);
    wide_.clear();
    wideStale_ = true;
}

}  // namespace krelix
