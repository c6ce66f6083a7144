#include "operations/files/opened_listed_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "operations/files/file_copy.h"
#include "operations/files/file_operations.h"

namespace krelix {
namespace {

constexpr std::size_t kCompareChunk = std::size_t{1} << 20;

// Bytes read into buffer up to size (fewer only at the end), or -1 with errno set.
ssize_t ReadFull(int fd, char* buffer, std::size_t size, off_t offset) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(fd, buffer + done, size - done, offset + off_t(done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return -1;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return static_cast<ssize_t>(done);
}

bool SameTime(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

}  // namespace

int OpenListed(const CFileItem& item, OpenedListedFile& file) {
    if (const int error = CheckListedFile(item)) {
        return error;
    }
    file.fd.Reset(
        ::open(item.path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.fd.valid()) {
        return errno == ELOOP ? kNotRegularFile : errno;
    }
    if (::fstat(file.fd.get(), &file.status) != 0) {
        return errno;
    }
    return MatchesRecord(file.status, item) ? 0 : kFileChanged;
}

int StillListed(const CFileItem& item, const OpenedListedFile& file) {
    struct stat now;
    if (::fstat(file.fd.get(), &now) != 0) {
        return errno;
    }
    if (!MatchesRecord(now, item)) {
        return kFileChanged;
    }
    if (::lstat(item.path.c_str(), &now) != 0) {
        return errno;
    }
    return SameInode(now, file.status) && MatchesRecord(now, item) ? 0 : kFileChanged;
}

bool SameInode(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool SameContentVersion(const struct stat& a, const struct stat& b) {
    return SameInode(a, b) && S_ISREG(a.st_mode) && S_ISREG(b.st_mode) && a.st_size == b.st_size &&
           SameTime(a.st_mtim, b.st_mtim);
}

bool SameVersion(const struct stat& a, const struct stat& b) {
    return SameContentVersion(a, b) && SameTime(a.st_ctim, b.st_ctim);
}

int CompareContent(int kept, int target, bool& keptFailed) {
    std::vector<char> left(kCompareChunk);
    std::vector<char> right(kCompareChunk);
    for (off_t offset = 0;; offset += off_t(kCompareChunk)) {
        const ssize_t a = ReadFull(kept, left.data(), left.size(), offset);
        if (a < 0) {
            keptFailed = true;
            return errno;
        }
        const ssize_t b = ReadFull(target, right.data(), right.size(), offset);
        if (b < 0) {
            return errno;
        }
        if (a != b || std::memcmp(left.data(), right.data(), static_cast<std::size_t>(a)) != 0) {
            return kContentDiffers;
        }
        if (static_cast<std::size_t>(a) < kCompareChunk) {
            return 0;
        }
    }
}

}  // namespace krelix
