#include "operations/files/file_operations.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "operations/files/no_replace_move.h"

namespace krelix {

bool MatchesRecord(const struct stat& status, const CFileItem& item) {
    return IsSameVersion(status, item.size, item.identity);
}

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

bool IsCopyOnDisk(const CFileItem& item) {
    return CheckListedFile(item) == 0;
}

std::size_t GroupsLeftWithoutCopy(std::span<const CFileItem* const> actedOn,
                                  std::span<const CFileItem* const> listed,
                                  const CopyCheck& isCopy) {
    std::unordered_set<const CFileItem*> acted;
    std::unordered_map<std::string_view, bool> groupKeepsCopy;
    acted.reserve(actedOn.size());
    for (const CFileItem* item : actedOn) {
        if (item != nullptr && item->deleted == 0) {
            acted.insert(item);
            groupKeepsCopy.emplace(item->groupKey, false);
        }
    }
    if (groupKeepsCopy.empty()) {
        return 0;
    }
    for (const CFileItem* item : listed) {
        if (item == nullptr || item->deleted != 0 || acted.count(item) != 0) {
            continue;
        }
        // One copy found is enough: the disk is asked at most until then, per group.
        const auto group = groupKeepsCopy.find(item->groupKey);
        if (group != groupKeepsCopy.end() && !group->second && isCopy(*item)) {
            group->second = true;
        }
    }
    return static_cast<std::size_t>(std::count_if(groupKeepsCopy.begin(), groupKeepsCopy.end(),
                                                  [](const auto& group) { return !group.second; }));
}

}  // namespace krelix
