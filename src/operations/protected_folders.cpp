#include "operations/protected_folders.h"

#include <algorithm>

namespace krelix {

ProtectedFolders::ProtectedFolders(std::vector<std::string> folders)
    : folders_(std::move(folders)) {
    for (std::string& folder : folders_) {
        if (folder.empty() || folder.back() != '/') {
            folder.push_back('/');
        }
    }
}

bool ProtectedFolders::Covers(std::string_view path) const {
    return std::any_of(folders_.begin(), folders_.end(),
                       [path](const std::string& folder) { return path.starts_with(folder); });
}

std::size_t ProtectedFolders::CountCovered(std::span<CFileItem* const> items) const {
    if (folders_.empty()) {
        return 0;
    }
    return static_cast<std::size_t>(
        std::count_if(items.begin(), items.end(),
                      [this](const CFileItem* item) { return item != nullptr && Covers(*item); }));
}

}  // namespace krelix
