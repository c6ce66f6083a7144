#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/file_item.h"

namespace krelix {

// Folders whose files no command may check, remove or replace. Each folder is a path ending
// with "/" as the walk writes it; a file is covered when its path begins with one of them,
// byte for byte (file systems here tell letter case apart).
class ProtectedFolders {
  public:
    ProtectedFolders() = default;
    // Folders given without the final "/" get it.
    explicit ProtectedFolders(std::vector<std::string> folders);

    bool empty() const { return folders_.empty(); }
    const std::vector<std::string>& folders() const { return folders_; }

    bool Covers(std::string_view path) const;
    bool Covers(const CFileItem& item) const { return Covers(item.path); }
    // How many of the records are covered.
    std::size_t CountCovered(std::span<CFileItem* const> items) const;

  private:
    std::vector<std::string> folders_;
};

}  // namespace krelix
