#include "operations/files/no_replace_move.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace krelix {
namespace {

bool NoHardLinks(int error) {
    return error == EPERM || error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS;
}

}  // namespace

int MoveNoReplaceByLink(const std::string& oldPath, const std::string& newPath) {
    if (::link(oldPath.c_str(), newPath.c_str()) == 0) {
        if (::unlink(oldPath.c_str()) == 0) {
            return 0;
        }
        const int error = errno;
        ::unlink(newPath.c_str());
        return error;
    }
    const int error = errno;
    if (!NoHardLinks(error)) {
        return error;
    }
    // Last resort for file systems such as FAT: a short window remains between the check and
    // the rename, but nothing better exists there.
    struct stat target;
    if (::lstat(newPath.c_str(), &target) == 0) {
        return EEXIST;
    }
    if (errno != ENOENT) {
        return errno;
    }
    return ::rename(oldPath.c_str(), newPath.c_str()) == 0 ? 0 : errno;
}

int MoveNoReplace(const std::string& oldPath, const std::string& newPath) {
    if (::renameat2(AT_FDCWD, oldPath.c_str(), AT_FDCWD, newPath.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    const int error = errno;
    if (error != EINVAL && error != ENOSYS && error != ENOTSUP && error != EOPNOTSUPP) {
        return error;
    }
    return MoveNoReplaceByLink(oldPath, newPath);
}

std::string_view FolderOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
}

}  // namespace krelix
