#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace krelix {

// The files and folders a run left out because they could not be opened or read. Any thread may
// add (the pool's workers add files whose read failed). Paths are kept only when asked for, so
// that an ordinary run holds two counters and nothing more.
class UnreadableLog {
  public:
    // Forgets everything; from now on keeps the paths when keepPaths is set.
    void Reset(bool keepPaths);
    void AddFile(const std::string& path);
    void AddFolder(const std::string& folder);  // folder ends with "/"

    std::int32_t files() const { return files_.load(std::memory_order_relaxed); }
    std::int32_t folders() const { return folders_.load(std::memory_order_relaxed); }
    // The paths kept since the last Reset or TakePaths, in the order they were added.
    std::vector<std::string> TakePaths();

  private:
    void Keep(const std::string& path);

    std::atomic<std::int32_t> files_{0};
    std::atomic<std::int32_t> folders_{0};
    bool keepPaths_ = false;  // written only between runs
    std::mutex mutex_;        // guards paths_
    std::vector<std::string> paths_;
};

}  // namespace krelix
