#include "engine/walked_files.h"

#include <cstdint>
#include <utility>

namespace krelix {
namespace {

// Seconds of a time given in nanoseconds, rounded down as the file system reports them.
std::int64_t Seconds(std::int64_t nanoseconds) {
    const std::int64_t seconds = nanoseconds / 1'000'000'000;
    return nanoseconds % 1'000'000'000 < 0 ? seconds - 1 : seconds;
}

}  // namespace

void WalkedFiles::Clear() {
    // Swapped out, not cleared: a large walk's storage goes back to the system.
    std::vector<std::string>().swap(folders_);
    std::string().swap(names_);
    Table().swap(files_);
}

std::uint32_t WalkedFiles::AddFolder(const std::string& folder) {
    folders_.push_back(folder);
    return static_cast<std::uint32_t>(folders_.size() - 1);
}

void WalkedFiles::Add(const DirEntry& entry, std::uint32_t folder) {
    File file;
    file.size = entry.size;
    file.identity = entry.identity;
    file.created = entry.created;
    file.accessed = entry.accessed;
    file.folder = folder;
    file.nameOffset = names_.size();
    file.nameLength = static_cast<std::uint32_t>(entry.name.size());
    names_.append(entry.name);
    files_.push_back(file);
}

void WalkedFiles::KeepOnly(const std::vector<std::uint32_t>& places) {
    // Moved into place along the permutation's cycles rather than copied to a second table, so
    // the walk's largest moment is not its table twice over.
    constexpr std::uint32_t kDropped = UINT32_MAX;
    std::vector<std::uint32_t> target(files_.size(), kDropped);
    for (std::uint32_t k = 0; k < places.size(); ++k) {
        target[places[k]] = k;
    }
    for (std::uint32_t i = 0; i < files_.size(); ++i) {
        while (target[i] != kDropped && target[i] != i) {
            const std::uint32_t to = target[i];
            std::swap(files_[i], files_[to]);
            std::swap(target[i], target[to]);
        }
    }
    std::vector<std::uint32_t>().swap(target);
    files_.resize(places.size());
    files_.shrink_to_fit();
    std::uint64_t nameBytes = 0;
    for (const File& file : files_) {
        nameBytes += file.nameLength;
    }
    if (nameBytes < names_.size() / 2) {
        std::string names;
        names.reserve(nameBytes);
        for (File& file : files_) {
            const std::uint64_t offset = names.size();
            names.append(names_, file.nameOffset, file.nameLength);
            file.nameOffset = offset;
        }
        names_.swap(names);
    }
}

void WalkedFiles::DropFront(std::size_t count) {
    // One at a time: the table frees each block as its last file goes.
    for (; count > 0 && !files_.empty(); --count) {
        files_.pop_front();
    }
}

std::string WalkedFiles::PathOf(const File& file) const {
    const std::string& folder = folders_[file.folder];
    std::string path;
    path.reserve(folder.size() + file.nameLength);
    path.append(folder).append(names_, file.nameOffset, file.nameLength);
    return path;
}

CFileItem WalkedFiles::ItemOf(const File& file) const {
    CFileItem item;
    item.path = PathOf(file);
    item.size = file.size;
    item.identity = file.identity;
    item.created = file.created;
    item.accessed = file.accessed;
    item.modified = Seconds(file.identity.modifiedNs);
    return item;
}

}  // namespace krelix
