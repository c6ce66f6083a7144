#include "engine/file_item.h"

#include <ctime>

namespace krelix {

CFileItem::CFileItem() {
    const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
    created = now;
    modified = now;
    accessed = now;
}

}  // namespace krelix
