#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace krelix::test {

// What a test compares of a file before a command and after its undo; the inode is kept apart,
// since an undone hard link is a new file with the old one's look.
struct FileShot {
    std::string content;
    unsigned mode = 0;
    unsigned uid = 0;
    unsigned gid = 0;
    std::int64_t modifiedNs = 0;
    std::uint64_t inode = 0;
    std::uint64_t links = 0;

    bool SameLook(const FileShot& other) const {
        return content == other.content && mode == other.mode && uid == other.uid &&
               gid == other.gid && modifiedNs == other.modifiedNs;
    }
};

// Every regular file below root (relative names), without the folders named in skip.
inline std::map<std::string, FileShot> Snapshot(const std::string& root,
                                                const std::string& skip = "\x01") {
    std::map<std::string, FileShot> shots;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const std::string relative = std::filesystem::relative(entry.path(), root).string();
        if (relative.starts_with(skip)) {
            continue;
        }
        struct stat status {};
        if (::lstat(entry.path().c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
            continue;
        }
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        FileShot shot;
        shot.content = bytes.str();
        shot.mode = status.st_mode;
        shot.uid = status.st_uid;
        shot.gid = status.st_gid;
        shot.modifiedNs =
            std::int64_t{status.st_mtim.tv_sec} * 1'000'000'000 + status.st_mtim.tv_nsec;
        shot.inode = status.st_ino;
        shot.links = status.st_nlink;
        shots.emplace(relative, shot);
    }
    return shots;
}

// Names, contents, modes, owners and modification times agree, file by file.
inline bool SameLook(const std::map<std::string, FileShot>& a,
                     const std::map<std::string, FileShot>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (auto left = a.begin(), right = b.begin(); left != a.end(); ++left, ++right) {
        if (left->first != right->first || !left->second.SameLook(right->second)) {
            return false;
        }
    }
    return true;
}

}  // namespace krelix::test
