#pragma once

#include <sys/stat.h>

#include <cstdint>

namespace krelix {

// Which file a record names, and which version of it: the same device and inode, and the same
// modification and status-change times to the nanosecond. The status-change time moves on every
// write, even when the modification time is set back afterwards (touch -r, cp -p, rsync -t), so
// a file that keeps its identity and its size still holds the bytes that were compared.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t modifiedNs = 0;  // nanoseconds since 1970-01-01 00:00 UTC
    std::int64_t changedNs = 0;

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

FileIdentity IdentityOf(const struct stat& status);
FileIdentity IdentityOf(const struct statx& status);

// The status describes the file of the given size and identity, unchanged.
bool IsSameVersion(const struct stat& status, std::uint64_t size, const FileIdentity& identity);

}  // namespace krelix
