#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace krelix {

// What the own properties window shows for a file, read without following a symbolic link.
struct FileProperties {
    std::string name;    // bytes, as stored
    std::string folder;  // bytes, ending with "/"
    std::string kind;    // "regular file", "folder", "symbolic link", ...
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // seconds since 1970-01-01 00:00 UTC
    std::int64_t accessed = 0;
    std::int64_t changed = 0;             // status change
    std::optional<std::int64_t> created;  // birth time, where the file system keeps it
    unsigned mode = 0;                    // permission bits with set-id and sticky bits
    std::string owner;                    // user name, or the number when it has none
    std::string group;
};

// Reads the properties of path; on failure returns nothing and sets error to the errno value.
std::optional<FileProperties> ReadFileProperties(const std::string& path, int& error);

// "rwxr-x---" style text of the permission bits, with s/S and t/T for set-id and sticky.
std::string PermissionText(unsigned mode);

}  // namespace krelix
