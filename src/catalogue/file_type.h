#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "catalogue/catalogue_text.h"

namespace krelix {

// One file type of the catalogue: a wildcard pattern such as "*.TXT", a description that may be
// empty, and the check mark that makes it take part in searches (never stored).
class CFileType {
  public:
    CFileType() = default;
    CFileType(std::u16string_view pattern, std::u16string_view description)
        : pattern_(pattern), description_(description) {}

    const std::u16string& GetPattern() const { return pattern_.Wide(); }
    const std::u16string& GetDescription() const { return description_.Wide(); }
    void SetPattern(std::u16string_view pattern) { pattern_.Set(pattern); }
    void SetDescription(std::u16string_view description) { description_.Set(description); }

    // The stored forms.
    const std::string& PatternUtf8() const { return pattern_.Utf8(); }
    const std::string& DescriptionUtf8() const { return description_.Utf8(); }
    void SetPatternUtf8(std::string pattern) { pattern_.SetUtf8(std::move(pattern)); }
    void SetDescriptionUtf8(std::string description) {
        description_.SetUtf8(std::move(description));
    }

    bool IsChecked() const { return checked_; }
    void SetChecked(bool checked) { checked_ = checked; }

  private:
    CatalogueText pattern_;
    CatalogueText description_;
    bool checked_ = false;
};

}  // namespace krelix
