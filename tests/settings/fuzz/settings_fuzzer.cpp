// libFuzzer target for the settings.dat reader: any bytes must load cleanly or leave the
// catalogue empty, and whatever loads must save and load back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "catalogue/file_type_catalogue.h"
#include "settings/settings_codec.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace krelix;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    FileTypeCatalogue catalogue;
    if (!UnpackSettings(bytes, catalogue)) {
        Require(catalogue.IsEmpty());
        return 0;
    }
    std::size_t length = catalogue.PatternText().size();
    for (const CFileCategory& category : catalogue.Categories()) {
        length += category.GetName().size();
        for (const CFileType& type : category.Types()) {
            length += type.GetPattern().size() + type.GetDescription().size();
        }
    }
    Require(length <= 2 * size);
    catalogue.SearchPatterns(TypeFilterMode::Exclude);

    const std::string packed = PackSettings(catalogue);
    if (packed.size() <= kMaxSettingsSize) {  // short arrays grow when written out in full
        FileTypeCatalogue again;
        Require(UnpackSettings(packed, again));
        Require(PackSettings(again) == packed);
    }
    return 0;
}
