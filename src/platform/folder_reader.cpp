#include "platform/folder_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "platform/read_failure.h"

namespace krelix {
namespace {

constexpr unsigned kStatusMask = STATX_TYPE | STATX_MODE | STATX_NLINK | STATX_INO | STATX_SIZE |
                                 STATX_ATIME | STATX_MTIME | STATX_CTIME | STATX_BTIME;

EntryKind KindOf(std::uint16_t mode) {
    if (S_ISREG(mode)) {
        return EntryKind::Regular;
    }
    if (S_ISDIR(mode)) {
        return EntryKind::Folder;
    }
    if (S_ISLNK(mode)) {
        return EntryKind::Symlink;
    }
    return EntryKind::Other;
}

bool IsCompressed(const struct statx& status) {
    return (status.stx_attributes_mask & STATX_ATTR_COMPRESSED) != 0 &&
           (status.stx_attributes & STATX_ATTR_COMPRESSED) != 0;
}

bool IsHiddenName(const char* name) {
    return name[0] == '.' && std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0;
}

}  // namespace

FolderReader::~FolderReader() {
    Close();
}

bool FolderReader::Open(const std::string& folder, Links links) {
    Close();
    error_ = 0;
    // A trailing "/" would make the kernel follow a link in the last place despite O_NOFOLLOW.
    std::string target = folder;
    while (target.size() > 1 && target.back() == '/') {
        target.pop_back();
    }
    int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    if (links == Links::DoNotFollow) {
        flags |= O_NOFOLLOW;
    }
    const int fd = ::openat(AT_FDCWD, target.c_str(), flags);
    if (fd < 0) {
        error_ = errno;
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        error_ = errno;
        ::close(fd);
        return false;
    }
    device_ = info.st_dev;
    inode_ = info.st_ino;
    dir_ = ::fdopendir(fd);
    if (dir_ == nullptr) {
        error_ = errno;
        ::close(fd);
        return false;
    }
    folder_ = folder;
    return true;
}

bool FolderReader::Next(DirEntry& entry) {
    if (dir_ == nullptr) {
        return false;
    }
    for (;;) {
        errno = 0;  // readdir tells its end from a failure only by errno
        const dirent* raw = ::readdir(dir_);
        if (raw == nullptr) {
            error_ = errno;
            return false;
        }
        const char* name = raw->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) {
            continue;
        }
        struct statx status {};
        const bool known = ::statx(::dirfd(dir_), name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                                   kStatusMask, &status) == 0;
        const int statusError = known ? 0 : errno;
        if (!known && !IsUnreadableError(statusError)) {
            continue;  // vanished since readdir: left out
        }
        entry.name.assign(name);
        entry.fullPath.assign(folder_).append(name);
        entry.attributes = IsHiddenName(name) ? ATTRIBUTE_HIDDEN : 0;
        if (!known) {
            entry.kind =
                raw->d_type == DT_DIR ? EntryKind::UnreadableFolder : EntryKind::UnreadableFile;
            entry.size = 0;
            entry.links = 1;
            entry.mountRoot = false;
            return true;
        }
        entry.kind = KindOf(status.stx_mode);
        if (IsCompressed(status)) {
            entry.attributes |= ATTRIBUTE_COMPRESSED;
        }
        entry.size = status.stx_size;
        entry.created = (status.stx_mask & STATX_BTIME) != 0 ? status.stx_btime.tv_sec
                                                             : status.stx_ctime.tv_sec;
        entry.modified = status.stx_mtime.tv_sec;
        entry.accessed = status.stx_atime.tv_sec;
        entry.identity = IdentityOf(status);
        entry.links = (status.stx_mask & STATX_NLINK) != 0 ? status.stx_nlink : 2;
        entry.mountRoot = (status.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0 &&
                          (status.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
        return true;
    }
}

void FolderReader::Close() {
    if (dir_ != nullptr) {
        ::closedir(dir_);
        dir_ = nullptr;
    }
}

bool QueryFolderAttributes(const std::string& folder, std::uint32_t& attributes) {
    struct statx status {};
    if (::statx(AT_FDCWD, folder.c_str(), AT_NO_AUTOMOUNT, STATX_TYPE | STATX_MODE, &status) != 0) {
        return false;
    }
    attributes = 0;
    std::string_view path(folder);
    while (path.size() > 1 && path.back() == '/') {
        path.remove_suffix(1);
    }
    const std::string_view::size_type slash = path.rfind('/');
    const std::string name(slash == std::string_view::npos ? path : path.substr(slash + 1));
    if (IsHiddenName(name.c_str())) {
        attributes |= ATTRIBUTE_HIDDEN;
    }
    if (IsCompressed(status)) {
        attributes |= ATTRIBUTE_COMPRESSED;
    }
    return true;
}

}  // namespace krelix
