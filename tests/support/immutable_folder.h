#pragma once

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <string>

namespace krelix::test {

// Makes a folder immutable while the object lives: nothing in it can be added, removed or
// renamed, not even by root, which is how tests running as root get a folder they cannot
// change. ok() is false where the file system or the process cannot set the flag.
class ImmutableFolder {
  public:
    explicit ImmutableFolder(const std::string& folder)
        : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        int flags = 0;
        if (fd_ >= 0 && ::ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0) {
            flags |= FS_IMMUTABLE_FL;
            ok_ = ::ioctl(fd_, FS_IOC_SETFLAGS, &flags) == 0;
        }
    }
    ~ImmutableFolder() {
        int flags = 0;
        if (ok_ && ::ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0) {
            flags &= ~FS_IMMUTABLE_FL;
            ::ioctl(fd_, FS_IOC_SETFLAGS, &flags);
        }
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    ImmutableFolder(const ImmutableFolder&) = delete;
    ImmutableFolder& operator=(const ImmutableFolder&) = delete;

    bool ok() const { return ok_; }

  private:
    int fd_;
    bool ok_ = false;
};

}  // namespace krelix::test
