#include "settings/settings_codec.h"

#include <cstdint>
#include <limits>
#include <msgpack.hpp>
#include <stdexcept>
#include <utility>

#include "catalogue/file_type_catalogue.h"
#include "common/text_conversion.h"

namespace krelix {
namespace {

using Packer = msgpack::packer<msgpack::sbuffer>;

// Real files nest four arrays deep; the slack is for ignored extra elements.
constexpr std::size_t kMaxDepth = 32;

std::uint32_t Count(std::size_t n) {
    if (n > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("settings entry too large");
    }
    return static_cast<std::uint32_t>(n);
}

void PackText(Packer& packer, const std::string& text) {
    const std::uint32_t size = Count(text.size());
    packer.pack_v4raw(size);  // 0xA0 / 0xDA / 0xDB, the headers readers of old files know
    packer.pack_v4raw_body(text.data(), size);
}

// Strings point into the caller's buffer instead of being copied into the zone.
bool ReferenceEverything(msgpack::type::object_type, std::size_t, void*) {
    return true;
}

const msgpack::object_array* AsArray(const msgpack::object& o) {
    return o.type == msgpack::type::ARRAY ? &o.via.array : nullptr;
}

bool ReadText(const msgpack::object& o, std::string& out) {
    std::string_view text;
    if (o.type == msgpack::type::STR) {
        text = {o.via.str.ptr, o.via.str.size};
    } else if (o.type == msgpack::type::BIN) {
        text = {o.via.bin.ptr, o.via.bin.size};
    } else {
        return false;
    }
    text = text.substr(0, text.find('\0'));
    // A stray byte costs one character, not the whole catalogue.
    if (IsValidUtf8(text)) {
        out.assign(text);
    } else {
        out = Utf8FromWide(WideFromUtf8(text));
    }
    return true;
}

bool ReadType(const msgpack::object& o, CFileType& type) {
    const msgpack::object_array* fields = AsArray(o);
    if (fields == nullptr) {
        return false;
    }
    std::string text;
    if (fields->size >= 1) {
        if (!ReadText(fields->ptr[0], text)) {
            return false;
        }
        type.SetPatternUtf8(std::move(text));
    }
    if (fields->size >= 2) {
        if (!ReadText(fields->ptr[1], text)) {
            return false;
        }
        type.SetDescriptionUtf8(std::move(text));
    }
    return true;
}

bool ReadCategory(const msgpack::object& o, CFileCategory& category) {
    const msgpack::object_array* fields = AsArray(o);
    if (fields == nullptr) {
        return false;
    }
    if (fields->size >= 1) {
        std::string name;
        if (!ReadText(fields->ptr[0], name)) {
            return false;
        }
        category.SetNameUtf8(std::move(name));
    }
    if (fields->size >= 2) {
        const msgpack::object_array* types = AsArray(fields->ptr[1]);
        if (types == nullptr) {
            return false;
        }
        for (std::uint32_t i = 0; i < types->size; ++i) {
            if (!ReadType(types->ptr[i], category.AddType({}, {}))) {
                return false;
            }
        }
    }
    return true;
}

bool ReadCatalogue(const msgpack::object& o, FileTypeCatalogue& catalogue) {
    const msgpack::object_array* categories = AsArray(o);
    if (categories == nullptr) {
        return false;
    }
    for (std::uint32_t i = 0; i < categories->size; ++i) {
        if (!ReadCategory(categories->ptr[i], catalogue.AddCategory({}))) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string PackSettings(const FileTypeCatalogue& catalogue) {
    msgpack::sbuffer buffer;  // starts at 8 KiB and doubles as needed
    Packer packer(buffer);
    packer.pack_array(Count(catalogue.CategoryCount()));
    for (const CFileCategory& category : catalogue.Categories()) {
        packer.pack_array(2);
        PackText(packer, category.NameUtf8());
        packer.pack_array(Count(category.TypeCount()));
        for (const CFileType& type : category.Types()) {
            packer.pack_array(2);
            PackText(packer, type.PatternUtf8());
            PackText(packer, type.DescriptionUtf8());
        }
    }
    return std::string(buffer.data(), buffer.size());
}

bool UnpackSettings(std::string_view bytes, FileTypeCatalogue& catalogue) {
    catalogue.Clear();
    const std::size_t size = bytes.size();
    if (size == 0 || size > kMaxSettingsSize) {
        return false;
    }
    // Every element takes at least one byte, so no honest count exceeds the input size; the
    // limits stop a header claiming billions of elements before anything is allocated for it.
    const msgpack::unpack_limit limits(size, size / 2, size, size, size, kMaxDepth);
    try {
        std::size_t offset = 0;
        const msgpack::object_handle value =
            msgpack::unpack(bytes.data(), size, offset, &ReferenceEverything, nullptr, limits);
        FileTypeCatalogue loaded;
        if (!ReadCatalogue(value.get(), loaded)) {
            return false;
        }
        catalogue = std::move(loaded);
        return true;
    } catch (const std::exception&) {  // malformed or truncated input, limits, memory
        catalogue.Clear();
        return false;
    }
}

}  // namespace krelix
