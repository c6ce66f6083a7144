#include "platform/file_identity.h"

#include <sys/sysmacros.h>

namespace krelix {
namespace {

std::int64_t Nanoseconds(std::int64_t seconds, std::int64_t nanoseconds) {
    return seconds * 1'000'000'000 + nanoseconds;
}

}  // namespace

FileIdentity IdentityOf(const struct stat& status) {
    return FileIdentity{static_cast<std::uint64_t>(status.st_dev),
                        static_cast<std::uint64_t>(status.st_ino),
                        Nanoseconds(status.st_mtim.tv_sec, status.st_mtim.tv_nsec),
                        Nanoseconds(status.st_ctim.tv_sec, status.st_ctim.tv_nsec)};
}

FileIdentity IdentityOf(const struct statx& status) {
    return FileIdentity{
        static_cast<std::uint64_t>(::makedev(status.stx_dev_major, status.stx_dev_minor)),
        status.stx_ino, Nanoseconds(status.stx_mtime.tv_sec, status.stx_mtime.tv_nsec),
        Nanoseconds(status.stx_ctime.tv_sec, status.stx_ctime.tv_nsec)};
}

bool IsSameVersion(const struct stat& status, std::uint64_t size, const FileIdentity& identity) {
    return S_ISREG(status.st_mode) && static_cast<std::uint64_t>(status.st_size) == size &&
           IdentityOf(status) == identity;
}

}  // namespace krelix
