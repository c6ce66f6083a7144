#pragma once

#include <dirent.h>

#include <cstdint>
#include <string>

#include "platform/dir_entry.h"

namespace krelix {

// Reads the entries of one folder, in the file system's order, without following links.
// Holds one file descriptor while open. Not thread-safe; one reader per thread.
class FolderReader {
  public:
    enum class Links {
        Follow,       // the folder text itself may name a symbolic link (a chosen start folder)
        DoNotFollow,  // a folder found by the walk: a link put in its place is not entered
    };

    FolderReader() = default;
    ~FolderReader();
    FolderReader(const FolderReader&) = delete;
    FolderReader& operator=(const FolderReader&) = delete;

    // Starts reading the folder, whose text ends with "/". False when it is missing, not a
    // folder, unreadable, or its path is too long for the system; error() then tells why.
    bool Open(const std::string& folder, Links links);

    // Fills entry with the next entry; false at the end or on a read error (error() is then not
    // 0). "." and ".." are passed over, and so are entries that vanish before their status can
    // be read; an entry whose status cannot be read for another reason comes as UnreadableFile
    // or UnreadableFolder.
    bool Next(DirEntry& entry);

    // The errno of the last failed Open, or of the read error that ended Next; 0 otherwise.
    int error() const { return error_; }

    void Close();

    // The open folder's identity, so that a folder reached twice can be told.
    std::uint64_t device() const { return device_; }
    std::uint64_t inode() const { return inode_; }

  private:
    DIR* dir_ = nullptr;
    std::string folder_;
    std::uint64_t device_ = 0;
    std::uint64_t inode_ = 0;
    int error_ = 0;
};

// The attribute bits of a folder (hidden, compressed), following links. False when the folder
// cannot be queried. "/" is never hidden.
bool QueryFolderAttributes(const std::string& folder, std::uint32_t& attributes);

}  // namespace krelix
