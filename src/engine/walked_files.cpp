#include "engine/walked_files.h"

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
    std::vector<File>().swap(files_);
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
    std::vector<File> kept;
    kept.reserve(places.size());
    for (const std::uint32_t place : places) {
        kept.push_back(files_[place]);
    }
    files_.swap(kept);
}

std::string WalkedFiles::PathOf(const File& file) const {
    std::string path = folders_[file.folder];
    path.append(names_, file.nameOffset, file.nameLength);
    return path;
}

CFileItem WalkedFiles::ItemOf(const File& file) const {
    CFileItem item;
    item.name.assign(names_, file.nameOffset, file.nameLength);
    item.path = PathOf(file);
    item.size = file.size;
    item.identity = file.identity;
    item.created = file.created;
    item.accessed = file.accessed;
    item.modified = Seconds(file.identity.modifiedNs);
    return item;
}

}  // namespace krelix
