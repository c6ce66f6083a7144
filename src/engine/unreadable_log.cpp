#include "engine/unreadable_log.h"

#include <utility>

namespace krelix {

void UnreadableLog::Reset(bool keepPaths) {
    files_ = 0;
    folders_ = 0;
    keepPaths_ = keepPaths;
    std::lock_guard<std::mutex> lock(mutex_);
    paths_.clear();
}

void UnreadableLog::AddFile(const std::string& path) {
    files_.fetch_add(1, std::memory_order_relaxed);
    Keep(path);
}

void UnreadableLog::AddFolder(const std::string& folder) {
    folders_.fetch_add(1, std::memory_order_relaxed);
    Keep(folder);
}

std::vector<std::string> UnreadableLog::TakePaths() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(paths_, {});
}

void UnreadableLog::Keep(const std::string& path) {
    if (keepPaths_) {
        std::lock_guard<std::mutex> lock(mutex_);
        paths_.push_back(path);
    }
}

}  // namespace krelix
