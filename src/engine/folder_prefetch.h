#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/task_runner.h"
#include "platform/dir_entry.h"
#include "platform/folder_reader.h"

namespace krelix {

// One folder read to its end, as FolderReader gives it.
struct FolderListing {
    bool opened = false;
    int error = 0;  // why it could not be opened, or the read error that ended it
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::vector<DirEntry> entries;
};

// Reads the folder; stops early (with what it has) once stopFlag is set.
FolderListing ReadListing(const std::string& folder, FolderReader::Links links,
                          const std::atomic<std::int32_t>& stopFlag);

// Reads folders a walk is about to enter on worker threads, so that listing them (readdir and a
// statx per entry, mostly kernel time) goes on beside the walk's own work. The walk still takes
// each listing in its own order and decides everything itself; a folder no worker has begun is
// read by the walk at once, so the walk never waits for a runner to get round to it. One walk
// thread uses it; it waits for the reads it began when it goes.
class FolderPrefetch {
  public:
    FolderPrefetch(TaskRunner& runner, const std::atomic<std::int32_t>& stopFlag);
    ~FolderPrefetch();
    FolderPrefetch(const FolderPrefetch&) = delete;
    FolderPrefetch& operator=(const FolderPrefetch&) = delete;

    // Starts reading a folder found by the walk (links not followed), unless already asked.
    void Ahead(const std::string& folder);
    // The folder's listing: the one read ahead, or read now.
    FolderListing Take(const std::string& folder, FolderReader::Links links);

  private:
    struct Slot;

    TaskRunner& runner_;
    const std::atomic<std::int32_t>& stopFlag_;
    std::unordered_map<std::string, std::shared_ptr<Slot>> slots_;
};

}  // namespace krelix
