#include "engine/file_item.h"

#include <ctime>
#include <string>

namespace krelix {

CFileItem::CFileItem() {
    const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
    created = now;
    modified = now;
    accessed = now;
}

std::string_view CFileItem::name() const {
    const std::string_view whole(path);
    const std::size_t slash = whole.rfind('/');
    return slash == std::string_view::npos ? whole : whole.substr(slash + 1);
}

std::string_view CFileItem::crc() const {
    const std::size_t digits = std::to_string(size).size();
    constexpr std::size_t kCrcDigits = 8;
    if (groupKey.size() < digits + kCrcDigits) {
        return {};
    }
    return std::string_view(groupKey).substr(digits, kCrcDigits);
}

}  // namespace krelix
