#include "operations/selection/protected_folders.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace krelix {
namespace {

std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') {
        folder.push_back('/');
    }
    return folder;
}

// The path with every link, "." and ".." resolved; empty when it cannot be (gone, no access).
std::string RealPath(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                           &std::free);
    return real ? std::string(real.get()) : std::string();
}

bool StartsWithAny(std::string_view path, const std::vector<std::string>& folders) {
    return std::any_of(folders.begin(), folders.end(),
                       [path](const std::string& folder) { return path.starts_with(folder); });
}

}  // namespace

ProtectedFolders::ProtectedFolders(std::vector<std::string> folders)
    : folders_(std::move(folders)) {
    for (std::string& folder : folders_) {
        folder = WithSlash(std::move(folder));
        if (const std::string real = RealPath(folder); !real.empty()) {
            realFolders_.push_back(WithSlash(real));
        }
        struct stat status {};
        if (::stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
            ids_.push_back({static_cast<std::uint64_t>(status.st_dev),
                            static_cast<std::uint64_t>(status.st_ino)});
        }
    }
}

bool ProtectedFolders::CoversByText(std::string_view path) const {
    return StartsWithAny(path, folders_) || StartsWithAny(path, realFolders_);
}

bool ProtectedFolders::Covers(std::string_view path) const {
    if (folders_.empty()) {
        return false;
    }
    if (CoversByText(path)) {
        return true;
    }
    const std::size_t slash = path.rfind('/');
    return CoversFolder(slash == std::string_view::npos ? std::string("./")
                                                        : std::string(path.substr(0, slash + 1)));
}

// The folder, resolved, or its nearest ancestor that still exists when it is gone: a protected
// folder's file stays covered after its own subfolder was removed.
bool ProtectedFolders::CoversFolder(const std::string& folder) const {
    if (const auto it = seen_.find(folder); it != seen_.end()) {
        return it->second;
    }
    std::string real = RealPath(folder);
    for (std::string up = folder; real.empty() && up.size() > 1;) {
        up.pop_back();
        const std::size_t slash = up.rfind('/');
        if (slash == std::string::npos) {
            break;
        }
        up.resize(slash + 1);
        real = RealPath(up);
    }
    const bool covered = !real.empty() && CoversRealFolder(WithSlash(real));
    seen_.emplace(folder, covered);
    return covered;
}

// A bind mount shows a folder under another path with the same device and inode, so the
// resolved folder and each of its ancestors are asked by what they are. Answers are remembered
// by folder, so a walk up stops at the first folder already asked.
bool ProtectedFolders::CoversRealFolder(const std::string& real) const {
    if (const auto it = seen_.find(real); it != seen_.end()) {
        return it->second;
    }
    bool covered = StartsWithAny(real, realFolders_);
    struct stat status {};
    if (!covered && ::stat(real.c_str(), &status) == 0) {
        const FolderId id{static_cast<std::uint64_t>(status.st_dev),
                          static_cast<std::uint64_t>(status.st_ino)};
        covered = std::find(ids_.begin(), ids_.end(), id) != ids_.end();
    }
    if (!covered && real.size() > 1) {
        const std::size_t slash = real.rfind('/', real.size() - 2);
        covered = slash != std::string::npos && CoversRealFolder(real.substr(0, slash + 1));
    }
    seen_.emplace(real, covered);
    return covered;
}

std::size_t ProtectedFolders::CountCovered(std::span<CFileItem* const> items) const {
    if (folders_.empty()) {
        return 0;
    }
    return static_cast<std::size_t>(
        std::count_if(items.begin(), items.end(),
                      [this](const CFileItem* item) { return item != nullptr && Covers(*item); }));
}

}  // namespace krelix
