#pragma once

#include <locale.h>

#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

namespace krelix {

// Turns names (native bytes) into the code-point text that WildcardMatch compares. Valid UTF-8
// decodes to its code points; every byte that is not part of valid UTF-8 becomes a code point
// of its own (U+DC80..U+DCFF, which valid UTF-8 never yields), so such a name still matches
// only itself. Holds its own C.UTF-8 locale; the global locale is never touched.
class CaseFolder {
  public:
    CaseFolder();

    // The name in lower case (Unicode letters included; undecodable bytes stay as they are).
    std::u32string Lower(std::string_view name) const;

    // The text decoded as above, letter case kept.
    static std::u32string Decode(std::string_view text);

  private:
    struct LocaleFree {
        void operator()(std::remove_pointer_t<locale_t>* locale) const { ::freelocale(locale); }
    };
    // Null when C.UTF-8 is missing: then only ASCII letters are lowered.
    std::unique_ptr<std::remove_pointer_t<locale_t>, LocaleFree> locale_;
};

}  // namespace krelix
