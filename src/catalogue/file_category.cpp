#include "catalogue/file_category.h"

namespace krelix {

CFileType& CFileCategory::AddType(std::u16string_view pattern, std::u16string_view description) {
    return types_.emplace_back(pattern, description);
}

bool CFileCategory::RemoveType(const CFileType& type) {
    for (auto it = types_.begin(); it != types_.end(); ++it) {
        if (&*it == &type) {
            types_.erase(it);
            return true;
        }
    }
    return false;
}

}  // namespace krelix
