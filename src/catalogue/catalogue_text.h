#pragma once

#include <string>
#include <string_view>

namespace krelix {

// One text of the catalogue in its two forms: UTF-16 as shown and edited, UTF-8 as stored.
// Setting the UTF-16 form replaces both. Setting the UTF-8 form (the settings loader) defers
// the UTF-16 form to its first read, so that loading a large catalogue converts nothing.
class CatalogueText {
  public:
    CatalogueText() = default;
    explicit CatalogueText(std::u16string_view wide) { Set(wide); }

    const std::u16string& Wide() const;
    const std::string& Utf8() const { return utf8_; }

    void Set(std::u16string_view wide);
    void SetUtf8(std::string utf8);

  private:
    std::string utf8_;
    mutable std::u16string wide_;
    mutable bool wideStale_ = false;  // wide_ still has to be made from utf8_
};

}  // namespace krelix
