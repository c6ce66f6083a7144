#pragma once

#include <unistd.h>

#include <string>
#include <utility>

namespace krelix {

// A name made for a moment (a temporary file or link) that is removed when the guard goes,
// unless Keep() says it has since become a real name (renamed over its target).
class TemporaryPath {
  public:
    TemporaryPath() = default;
    explicit TemporaryPath(std::string path) : path_(std::move(path)) {}
    ~TemporaryPath() {
        if (!path_.empty()) {
            ::unlink(path_.c_str());
        }
    }
    TemporaryPath(const TemporaryPath&) = delete;
    TemporaryPath& operator=(const TemporaryPath&) = delete;

    void Set(std::string path) { path_ = std::move(path); }
    // Removes the name now rather than later.
    void Remove() {
        if (!path_.empty()) {
            ::unlink(path_.c_str());
            path_.clear();
        }
    }
    const std::string& path() const { return path_; }
    void Keep() { path_.clear(); }

  private:
    std::string path_;
};

}  // namespace krelix
