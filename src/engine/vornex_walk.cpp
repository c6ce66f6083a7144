// The walk: the first stage of a run, filing every kept file under its size text.
#include <algorithm>
#include <charconv>
#include <chrono>
#include <iterator>

#include "engine/folder_prefetch.h"
#include "engine/search_flags.h"
#include "engine/vornex.h"
#include "platform/read_failure.h"

namespace krelix {
namespace {

// Enough to keep the walk's two workers busy: with fewer, the walk often comes to a folder
// before a worker has begun it and reads it itself.
constexpr std::size_t kFoldersReadAhead = 16;

bool BeginsWithAny(const std::string& path, const SkipFolders::Folders& folders) {
    return std::any_of(folders.begin(), folders.end(), [&](const std::string& folder) {
        return !folder.empty() && path.starts_with(folder);
    });
}

bool IsTrashName(std::string_view name) {
    if (name == ".Trash") {
        return true;
    }
    constexpr std::string_view prefix = ".Trash-";
    return name.size() > prefix.size() && name.starts_with(prefix) &&
           std::all_of(name.begin() + prefix.size(), name.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

// The folder is, or lies below, a .Trash or .Trash-<uid> folder directly inside a mount point.
bool IsInMountTrash(const std::string& path, const SkipFolders::Folders& mountPoints) {
    if (path.find("/.Trash") == std::string::npos) {
        return false;  // the common case, decided without looking at the mount points
    }
    return std::any_of(mountPoints.begin(), mountPoints.end(), [&](const std::string& mount) {
        if (mount.empty() || !path.starts_with(mount)) {
            return false;
        }
        const std::string_view rest = std::string_view(path).substr(mount.size());
        const std::size_t slash = rest.find('/');
        return slash != std::string_view::npos && IsTrashName(rest.substr(0, slash));
    });
}

std::string SizeText(std::uint64_t size) {
    char buffer[24];
    const auto [end, error] = std::to_chars(std::begin(buffer), std::end(buffer), size);
    return std::string(buffer, end);
}

std::int64_t RealtimeNowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace

void CVornex::Walk(SearchRequest& request) {
    WalkFiles(request);
    resultMap.reserve(walked_.size());
    for (const WalkedFiles::File& file : walked_.files()) {
        resultMap.emplace(SizeText(file.size), walked_.ItemOf(file));
    }
    walked_.Clear();
}

void CVornex::WalkFiles(SearchRequest& request) {
    resultMap.clear();
    walked_.Clear();
    readFolders_.clear();
    recordedFiles_.clear();
    walkStartNs_ = RealtimeNowNs();
    stopFlag = 0;
    if (refreshMountPoints_) {
        skipFolders_.mountPoints = SkipFolders::SystemMountPoints();
    }
    matcher_ = NameMatcher(request.includePatterns, request.excludePatterns);
    request.filesScanned = 0;  // progress counts the files of this run
    request.skippedStartFolders.clear();
    unreadable_.Reset(request.listUnreadable);
    for (const std::string& folder : request.includeFolders) {
        ScanFolder(folder, request);
    }
    request.filesScanned = static_cast<std::int32_t>(walked_.size());
    request.unreadableFiles = unreadable_.files();
    request.unreadableFolders = unreadable_.folders();
    request.unreadablePaths = unreadable_.TakePaths();
}

void CVornex::ScanFolder(const std::string& folderText, SearchRequest& request) {
    if (StopRequested() || folderText.empty()) {
        return;
    }
    std::string folder = folderText;
    if (folder.back() != '/') {
        folder += '/';
    }
    std::optional<SkipRule> rule = FolderSkipRule(folder, request);
    std::uint32_t attributes = 0;
    if (!rule && QueryFolderAttributes(folder, attributes)) {
        if ((request.optionFlags & SKIP_COMPRESSED_FILES) && (attributes & ATTRIBUTE_COMPRESSED)) {
            rule = SkipRule::Compressed;
        } else if ((request.optionFlags & SKIP_HIDDEN_FOLDERS) && (attributes & ATTRIBUTE_HIDDEN) &&
                   folder != "/") {
            rule = SkipRule::HiddenFolder;
        }
    }
    if (rule) {
        // The rule stands, but a search that finds nothing must be able to say why.
        request.skippedStartFolders.push_back({std::move(folder), *rule});
        return;
    }

    // Depth first with an explicit stack, so that a very deep tree cannot exhaust the thread's
    // stack. Each folder is read to its end and closed before its subfolders are entered:
    // one open descriptor at a time, however deep the tree.
    // The next few folders on the stack are read ahead on the walk's workers meanwhile.
    std::vector<std::string> pending;
    pending.push_back(std::move(folder));
    std::vector<std::string> subfolders;
    FolderReader::Links links = FolderReader::Links::Follow;  // the start folder as chosen
    FolderPrefetch prefetch(*walkPool_, stopFlag);
    while (!pending.empty() && !StopRequested()) {
        const std::string current = std::move(pending.back());
        pending.pop_back();
        for (std::size_t ahead = 0; ahead < kFoldersReadAhead && ahead < pending.size(); ++ahead) {
            prefetch.Ahead(pending[pending.size() - 1 - ahead]);
        }
        subfolders.clear();
        ReadFolder(current, prefetch.Take(current, links), request, subfolders);
        links = FolderReader::Links::DoNotFollow;
        pending.insert(pending.end(), std::make_move_iterator(subfolders.rbegin()),
                       std::make_move_iterator(subfolders.rend()));
    }
}

void CVornex::ReadFolder(const std::string& folder, const FolderListing& listing,
                         SearchRequest& request, std::vector<std::string>& subfolders) {
    if (!listing.opened) {
        // Unreadable or too deep: contributes nothing but a count. Vanished: nothing at all.
        if (IsUnreadableError(listing.error)) {
            unreadable_.AddFolder(folder);
        }
        return;
    }
    if (!readFolders_.emplace(listing.device, listing.inode).second) {
        return;  // its files were recorded under the path that reached it first
    }
    const std::uint32_t folderIndex = walked_.AddFolder(folder);
    const std::uint32_t flags = request.optionFlags;
    for (const DirEntry& entry : listing.entries) {
        if (StopRequested()) {
            break;
        }
        if (entry.IsFolder() || entry.kind == EntryKind::UnreadableFolder) {
            if (!(flags & SEARCH_SUBDIRS)) {
                continue;
            }
            std::string subfolder = entry.fullPath + '/';
            const bool skipped =
                IsFolderSkipped(subfolder, request) ||
                ((flags & SKIP_HIDDEN_FOLDERS) && entry.Has(ATTRIBUTE_HIDDEN)) ||
                ((flags & SKIP_COMPRESSED_FILES) && entry.Has(ATTRIBUTE_COMPRESSED));
            if (skipped) {
                continue;
            }
            if (entry.kind == EntryKind::UnreadableFolder) {
                unreadable_.AddFolder(subfolder);
            } else {
                subfolders.push_back(std::move(subfolder));
            }
        } else if (entry.kind == EntryKind::Regular && !request.IsFileSkipped(entry, matcher_)) {
            RecordFile(entry, folderIndex, request);
            if (StopRequested()) {
                break;
            }
        } else if (entry.kind == EntryKind::UnreadableFile) {
            unreadable_.AddFile(entry.fullPath);  // its size and attributes are unknown
        }
    }
    // A listing that broke off was read only in part.
    if (!StopRequested() && IsUnreadableError(listing.error)) {
        unreadable_.AddFolder(folder);
    }
}

bool CVornex::IsFolderSkipped(const std::string& folder, const SearchRequest& request) const {
    return FolderSkipRule(folder, request).has_value();
}

std::optional<SkipRule> CVornex::FolderSkipRule(const std::string& folder,
                                                const SearchRequest& request) const {
    const auto set = [&](std::uint32_t flag) { return (request.optionFlags & flag) != 0; };
    const SkipFolders& skip = skipFolders_;
    if (request.excludeFolders.count(folder) != 0) {
        return SkipRule::ExcludedFolder;
    }
    if (set(SKIP_TEMP_FILES) && BeginsWithAny(folder, skip.temporary)) {
        return SkipRule::TemporaryFolder;
    }
    if (set(SKIP_TEMP_FILES) && BeginsWithAny(folder, skip.internetCache)) {
        return SkipRule::CacheFolder;
    }
    if (set(SKIP_SYSTEM_FILES) && BeginsWithAny(folder, skip.system)) {
        return SkipRule::SystemFolder;
    }
    if (set(SKIP_WINDOWS_FOLDER) && BeginsWithAny(folder, skip.windows)) {
        return SkipRule::OperatingSystemFolder;
    }
    if (set(SKIP_APP_FOLDERS) &&
        (BeginsWithAny(folder, skip.programFiles) || BeginsWithAny(folder, skip.programFilesX86) ||
         BeginsWithAny(folder, skip.commonAppData))) {
        return SkipRule::ApplicationFolder;
    }
    if (set(SKIP_RECYCLE_BIN) &&
        (BeginsWithAny(folder, skip.recycleBin) || IsInMountTrash(folder, skip.mountPoints))) {
        return SkipRule::RecycleBin;
    }
    return std::nullopt;
}

void CVornex::RecordFile(const DirEntry& entry, std::uint32_t folder, SearchRequest& request) {
    // Other files are reached only through their one folder, which is read once.
    if ((entry.links > 1 || entry.mountRoot) &&
        !recordedFiles_.emplace(entry.identity.device, entry.identity.inode).second) {
        return;  // already recorded under the path that reached it first
    }
    walked_.Add(entry, folder);
    ++request.filesScanned;
    if (request.filesScanned % 5 == 0) {
        SendNotice(request.progressWindow, ProgressNotice::Kind::Searching, entry.fullPath,
                   static_cast<std::uint64_t>(request.filesScanned));
    }
}

}  // namespace krelix
