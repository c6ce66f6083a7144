#pragma once

#include <atomic>
#include <boost/unordered_set.hpp>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/compare_source.h"
#include "engine/digest_cache.h"
#include "engine/file_item.h"
#include "engine/folder_prefetch.h"
#include "engine/name_matcher.h"
#include "engine/result_map.h"
#include "engine/search_request.h"
#include "engine/task_runner.h"
#include "engine/unreadable_log.h"
#include "engine/walked_files.h"
#include "platform/dir_entry.h"
#include "platform/folder_reader.h"
#include "platform/skip_folders.h"

namespace krelix {

// What a caller may change of the engine's timing and steps; the defaults are the program's.
struct EngineOptions {
    // Called on the search thread between the two hashing stages when set.
    std::function<void()> afterFirstStage;
    // How long before the walk a file must have last changed for its digests to be kept (0 keeps
    // the digests of files made just now).
    std::chrono::nanoseconds cacheSettleTime{kCacheSettleNs};
    // See Comparison::readingNoticeInterval.
    std::chrono::nanoseconds readingNoticeInterval = std::chrono::milliseconds(50);
};

// The scan engine. A run happens on the calling thread (the search thread); only stopFlag is
// touched by other threads. The engine's two pool workers hash large files during comparison,
// and two more read folders ahead of the walk; all are started with the engine and kept for its
// life.
class CVornex {
  public:
    // Key text (the size text during the walk) to record.
    using ResultMap = krelix::ResultMap;

    // Skips this system's folders; the mount points are read again at every walk, since
    // drives come and go while the program runs.
    CVornex();
    // Skips exactly the given folders.
    explicit CVornex(SkipFolders skipFolders, EngineOptions options = {});
    // Hashes queued work on the given runner instead of its own two-worker pool.
    CVornex(SkipFolders skipFolders, std::unique_ptr<TaskRunner> runner,
            EngineOptions options = {});
    // Stops a run still going, waits for the workers' tasks, then ends the workers.
    ~CVornex();
    CVornex(const CVornex&) = delete;
    CVornex& operator=(const CVornex&) = delete;

    // One whole run on the calling thread: the walk, then the comparison. Afterwards resultMap
    // holds every hashed file under its group key, the request's filesScanned and notes
    // (skipped start folders, unreadable files and folders) are set, stopFlag is 1 and the
    // request's completionEvent has been called once. With a cache, unchanged files take their
    // digests from it and new digests are added to it (see Comparison::cache); it is used on the
    // calling thread during this run only.
    void Run(SearchRequest& request, DigestCache* cache = nullptr);

    // The walk of a run on its own: empties resultMap, clears stopFlag, scans every include
    // folder and sets the request's filesScanned, skippedStartFolders and unreadable counts.
    // Leaves stopFlag as it finds it at the end.
    void Walk(SearchRequest& request);

    // Walks one start folder (and its subfolders with SEARCH_SUBDIRS), depth first, recording
    // every kept file (into resultMap when the walk ends). Returns at once while stopFlag is set. A
    // start folder that a folder rule removes is noted in the request's skippedStartFolders.
    void ScanFolder(const std::string& folderText, SearchRequest& request);

    // True when a folder rule removes the folder (path ending with "/", case kept).
    bool IsFolderSkipped(const std::string& folder, const SearchRequest& request) const;
    // The first folder rule that removes the folder, if any.
    std::optional<SkipRule> FolderSkipRule(const std::string& folder,
                                           const SearchRequest& request) const;

    // The CRC text of the file, empty on failure or stop (see krelix::ComputeFileCrc).
    std::optional<std::string> ComputeFileCrc(const std::string& path,
                                              std::uint64_t expectedSize) const;

    // 0 while a run may go on; any other value asks it to stop. Any thread may set it to 1.
    std::atomic<std::int32_t> stopFlag{1};
    ResultMap resultMap;

  private:
    using FileId = std::pair<std::uint64_t, std::uint64_t>;  // device, inode

    bool StopRequested() const { return stopFlag.load(std::memory_order_relaxed) != 0; }
    void ReadFolder(const std::string& folder, const FolderListing& listing, SearchRequest& request,
                    std::vector<std::string>& subfolders);
    void RecordFile(const DirEntry& entry, std::uint32_t folder, SearchRequest& request);
    // The walk into walked_, without filling resultMap.
    void WalkFiles(SearchRequest& request);
    // The comparison of the source's files, given one size after another; replaces
    // resultMap by its outcome, sets stopFlag and calls completionEvent.
    void Compare(CompareSource& source, SearchRequest& request, DigestCache* cache);

    SkipFolders skipFolders_;
    EngineOptions options_;
    bool refreshMountPoints_ = false;
    // Per walk: the request's patterns; every folder read so far, so that a folder reached again
    // (nested start folders, bind mounts, links given as start folders) is read only the first
    // time; and the files that can be reached under another folder as well (hard links, mounted
    // files), recorded only the first time.
    NameMatcher matcher_;
    boost::unordered_set<FileId> readFolders_;
    boost::unordered_set<FileId> recordedFiles_;
    WalkedFiles walked_;            // what the current walk recorded
    std::int64_t walkStartNs_ = 0;  // realtime, when the last walk began
    DirEntry entry_;                // reused for every entry, saving allocations
    UnreadableLog unreadable_;      // per walk and the comparison after it

    std::unique_ptr<TaskRunner> runner_;
    std::unique_ptr<TaskRunner> walkPool_;  // reads folders ahead of the walk
};

}  // namespace krelix
