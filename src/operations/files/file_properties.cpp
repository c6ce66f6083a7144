#include "operations/files/file_properties.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>

#include <cerrno>
#include <vector>

namespace krelix {
namespace {

std::string KindOf(unsigned mode) {
    switch (mode & S_IFMT) {
        case S_IFREG:
            return "regular file";
        case S_IFDIR:
            return "folder";
        case S_IFLNK:
            return "symbolic link";
        case S_IFIFO:
            return "named pipe";
        case S_IFSOCK:
            return "socket";
        case S_IFCHR:
            return "character device";
        case S_IFBLK:
            return "block device";
        default:
            return "unknown";
    }
}

std::string UserName(uid_t uid) {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr) {
        return found->pw_name;
    }
    return std::to_string(uid);
}

std::string GroupName(gid_t gid) {
    std::vector<char> buffer(16384);
    group entry{};
    group* found = nullptr;
    if (getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr) {
        return found->gr_name;
    }
    return std::to_string(gid);
}

}  // namespace

std::optional<FileProperties> ReadFileProperties(const std::string& path, int& error) {
    struct statx st {};
    if (statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME, &st) !=
        0) {
        error = errno;
        return std::nullopt;
    }
    FileProperties out;
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') {
        trimmed.pop_back();
    }
    const std::size_t slash = trimmed.rfind('/');
    out.name = slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
    out.folder = slash == std::string::npos ? std::string() : trimmed.substr(0, slash + 1);
    out.kind = KindOf(st.stx_mode);
    out.size = st.stx_size;
    out.modified = st.stx_mtime.tv_sec;
    out.accessed = st.stx_atime.tv_sec;
    out.changed = st.stx_ctime.tv_sec;
    if ((st.stx_mask & STATX_BTIME) != 0) {
        out.created = st.stx_btime.tv_sec;
    }
    out.mode = st.stx_mode & 07777;
    out.owner = UserName(st.stx_uid);
    out.group = GroupName(st.stx_gid);
    error = 0;
    return out;
}

std::string PermissionText(unsigned mode) {
    std::string text = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit) {
        if ((mode & (0400u >> bit)) == 0) {
            text[bit] = '-';
        }
    }
    const auto special = [&text](std::size_t at, bool on, char lower, char upper) {
        if (on) {
            text[at] = text[at] == '-' ? upper : lower;
        }
    };
    special(2, (mode & S_ISUID) != 0, 's', 'S');
    special(5, (mode & S_ISGID) != 0, 's', 'S');
    special(8, (mode & S_ISVTX) != 0, 't', 'T');
    return text;
}

}  // namespace krelix
