#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/file_item.h"

namespace krelix {

// Folders whose files no command may check, remove or replace. A folder is known by what it is
// on disk (device and inode, taken when the set is made), so a file is covered however its path
// reaches the folder: through a symbolic link, "..", a relative path or a bind mount. Folders
// that do not exist (any more) are still matched by their path text, byte for byte (file
// systems here tell letter case apart).
class ProtectedFolders {
  public:
    ProtectedFolders() = default;
    // Folders given without the final "/" get it.
    explicit ProtectedFolders(std::vector<std::string> folders);

    bool empty() const { return folders_.empty(); }
    const std::vector<std::string>& folders() const { return folders_; }
    // The same folders looked up on disk again, for a command that is about to change files:
    // what each path leads to is remembered only for the life of one set.
    ProtectedFolders Refreshed() const { return ProtectedFolders(folders_); }

    bool Covers(std::string_view path) const;
    bool Covers(const CFileItem& item) const { return Covers(item.path); }
    // How many of the records are covered.
    std::size_t CountCovered(std::span<CFileItem* const> items) const;

  private:
    struct FolderId {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        friend bool operator==(const FolderId&, const FolderId&) = default;
    };
    bool CoversByText(std::string_view path) const;
    bool CoversFolder(const std::string& folder) const;
    bool CoversRealFolder(const std::string& real) const;

    std::vector<std::string> folders_;      // as given, ending with "/"
    std::vector<std::string> realFolders_;  // resolved, ending with "/"
    std::vector<FolderId> ids_;
    // Folder texts already looked up (UI thread only, as the rest of a command's work).
    mutable std::unordered_map<std::string, bool> seen_;
};

}  // namespace krelix
