#pragma once

#include <unistd.h>

#include <cerrno>

#include <utility>

namespace krelix {

// Owns one open file descriptor and closes it when it goes; -1 owns nothing.
class UniqueFd {
  public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.fd_, -1));
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    void Reset(int fd = -1) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }
    // Closes now, for a caller that must know whether the close itself failed (a write's last
    // error can surface there): 0 or the errno.
    int Close() {
        const int fd = std::exchange(fd_, -1);
        return fd < 0 || ::close(fd) == 0 ? 0 : errno;
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

  private:
    int fd_;
};

}  // namespace krelix
