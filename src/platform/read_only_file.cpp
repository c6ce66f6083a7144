#include "platform/read_only_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace krelix {

std::optional<ReadOnlyFile> ReadOnlyFile::Open(const std::string& path) {
    int error = 0;
    return Open(path, error);
}

std::optional<ReadOnlyFile> ReadOnlyFile::OpenUnchecked(const std::string& path, int& error) {
    error = 0;
    // O_NONBLOCK lets a FIFO open return at once, and keeps a read of one from waiting.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        error = errno;
        return std::nullopt;
    }
    return ReadOnlyFile(fd);
}

std::optional<ReadOnlyFile> ReadOnlyFile::Open(const std::string& path, int& error) {
    std::optional<ReadOnlyFile> opened = OpenUnchecked(path, error);
    if (!opened) {
        return std::nullopt;
    }
    ReadOnlyFile file = std::move(*opened);
    const int fd = file.fd_;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        error = errno;
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    // O_NONBLOCK stays: reads of a regular file do not heed it, and two calls per file are
    // measurable when many small files are hashed.
    return file;
}

bool ReadOnlyFile::IsSameVersion(std::uint64_t size, const FileIdentity& identity) const {
    struct stat info {};
    return ::fstat(fd_, &info) == 0 && krelix::IsSameVersion(info, size, identity);
}

ReadOnlyFile::ReadOnlyFile(ReadOnlyFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

ReadOnlyFile& ReadOnlyFile::operator=(ReadOnlyFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

ReadOnlyFile::~ReadOnlyFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

ssize_t ReadOnlyFile::Read(void* buffer, std::size_t size) {
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, size);
        if (n >= 0 || errno != EINTR) {
            return n;
        }
    }
}

ssize_t ReadOnlyFile::ReadAt(void* buffer, std::size_t size, std::uint64_t offset) {
    for (;;) {
        const ssize_t n = ::pread(fd_, buffer, size, static_cast<off_t>(offset));
        if (n >= 0 || errno != EINTR) {
            return n;
        }
    }
}

void ReadOnlyFile::AdviseWillNeed(std::uint64_t offset, std::uint64_t length) {
    (void)::posix_fadvise(fd_, static_cast<off_t>(offset), static_cast<off_t>(length),
                          POSIX_FADV_WILLNEED);
}

void ReadOnlyFile::AdviseSequential() {
    (void)::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
}

bool ReadOnlyFile::IsCached(std::uint64_t offset) {
    unsigned char byte;
    iovec one{&byte, 1};
    // While read-ahead is under way the answer may be 0 bytes rather than EAGAIN: only a byte
    // actually read says the page is there.
    return ::preadv2(fd_, &one, 1, static_cast<off_t>(offset), RWF_NOWAIT) == 1;
}

}  // namespace krelix
