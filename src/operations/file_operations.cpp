#include "operations/file_operations.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "operations/file_rename.h"

namespace krelix {

int CheckListedFile(const CFileItem& item) {
    struct stat status;
    if (::lstat(item.path.c_str(), &status) != 0) {
        return errno;
    }
    if (!S_ISREG(status.st_mode)) {
        return kNotRegularFile;
    }
    return MatchesRecord(status, item) ? 0 : kFileChanged;
}

bool IsGone(int error) {
    return error == ENOENT || error == ENOTDIR;
}

int DeleteFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

int MoveListedFile(const CFileItem& item, const std::string& target, const RenameFn& rename) {
    const int renamed = rename ? rename(item.path, target) : MoveNoReplace(item.path, target);
    if (renamed != EXDEV) {
        return renamed;
    }
    CopyOptions options;
    options.keepOwner = true;
    options.expected = &item;
    CopiedSource copied;
    if (const int error = CopyRegularFile(item.path, target, options, &copied)) {
        return error;
    }
    // The source goes only while it is still the very file that was copied.
    struct stat now;
    int error = 0;
    if (::lstat(item.path.c_str(), &now) != 0) {
        if (errno == ENOENT) {
            return 0;  // removed by someone else meanwhile: the copy is now the file
        }
        error = errno;
    } else if (now.st_dev != copied.device || now.st_ino != copied.inode || !S_ISREG(now.st_mode) ||
               !MatchesRecord(now, item)) {
        error = kFileChanged;
    } else if (::unlink(item.path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        // The source stays, so the copy goes: a failed move leaves no second file behind.
        ::unlink(target.c_str());
    }
    return error;
}

std::size_t GroupsLeftWithoutCopy(std::span<const CFileItem* const> actedOn,
                                  std::span<const CFileItem* const> listed) {
    struct Counts {
        std::size_t actedOn = 0;
        std::size_t remaining = 0;
    };
    std::unordered_map<std::string_view, Counts> groups;
    groups.reserve(actedOn.size());
    for (const CFileItem* item : actedOn) {
        if (item != nullptr && item->deleted == 0) {
            ++groups[item->groupKey].actedOn;
        }
    }
    if (groups.empty()) {
        return 0;
    }
    for (const CFileItem* item : listed) {
        if (item == nullptr || item->deleted != 0) {
            continue;
        }
        if (const auto group = groups.find(item->groupKey); group != groups.end()) {
            ++group->second.remaining;
        }
    }
    std::size_t emptied = 0;
    for (const auto& [key, counts] : groups) {
        if (counts.actedOn >= counts.remaining) {
            ++emptied;
        }
    }
    return emptied;
}

}  // namespace krelix
