#include "operations/files/file_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "operations/files/file_operations.h"
#include "operations/files/no_replace_move.h"
#include "platform/sync_folder.h"
#include "platform/temporary_path.h"
#include "platform/unique_fd.h"

namespace krelix {

namespace {

constexpr std::size_t kRangeChunk = std::size_t{1} << 30;
constexpr std::size_t kBufferSize = std::size_t{1} << 20;

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool RangeCopyUnsupported(int error) {
    return error == EXDEV || error == ENOSYS || error == EINVAL || error == EOPNOTSUPP ||
           error == ENOTSUP || error == EBADF;
}

int WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return 0;
}

int CheckTarget(const std::string& target, ReplaceExisting replace) {
    struct stat existing;
    if (::lstat(target.c_str(), &existing) != 0) {
        return errno == ENOENT ? 0 : errno;
    }
    if (S_ISDIR(existing.st_mode)) {
        return EISDIR;
    }
    return replace == ReplaceExisting::No ? EEXIST : 0;
}

}  // namespace

int CopyFileContent(int from, int to, std::uint64_t expectedSize, std::uint64_t& copied) {
    bool inKernel = true;
    std::vector<char> buffer;
    for (;;) {
        if (inKernel) {
            const ssize_t done = ::copy_file_range(from, nullptr, to, nullptr, kRangeChunk, 0);
            if (done > 0) {
                copied += static_cast<std::uint64_t>(done);
                continue;
            }
            if (done == 0 && copied >= expectedSize) {
                return 0;
            }
            if (done < 0 && errno == EINTR) {
                continue;
            }
            if (done < 0 && !RangeCopyUnsupported(errno)) {
                return errno;
            }
            inKernel = false;
            buffer.resize(kBufferSize);
        }
        const ssize_t read = ::read(from, buffer.data(), buffer.size());
        if (read == 0) {
            return 0;
        }
        if (read < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (const int error = WriteAll(to, buffer.data(), static_cast<std::size_t>(read))) {
            return error;
        }
        copied += static_cast<std::uint64_t>(read);
    }
}

namespace {

// Opens the source once it is known to be a regular file (a device or FIFO is never opened) and
// the record's file when one is expected; opened holds its status.
int OpenSource(const std::string& source, const CopyOptions& options, UniqueFd& in,
               struct stat& opened) {
    struct stat before;
    if (::lstat(source.c_str(), &before) != 0) {
        return errno;
    }
    if (!S_ISREG(before.st_mode)) {
        return kNotRegularFile;
    }
    if (options.expected != nullptr && !MatchesRecord(before, *options.expected)) {
        return kFileChanged;
    }
    in.Reset(::open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!in.valid()) {
        return errno;
    }
    if (::fstat(in.get(), &opened) != 0) {
        return errno;
    }
    if (!S_ISREG(opened.st_mode) || !SameFile(before, opened)) {
        return kFileChanged;  // swapped for another file between the two looks
    }
    return 0;
}

// The content, owner, permission bits and times into out, synced and closed; kFileChanged when
// an expected source was written to meanwhile.
int WriteCopy(int in, UniqueFd& out, const struct stat& opened, const CopyOptions& options) {
    std::uint64_t bytes = 0;
    if (const int error =
            CopyFileContent(in, out.get(), static_cast<std::uint64_t>(opened.st_size), bytes)) {
        return error;
    }
    if (options.keepOwner) {
        // Only root can give a file away; anyone else keeps the copy as their own.
        (void)::fchown(out.get(), opened.st_uid, opened.st_gid);
    }
    const struct timespec times[2] = {opened.st_atim, opened.st_mtim};
    if (::fchmod(out.get(), opened.st_mode & 0777) != 0 || ::futimens(out.get(), times) != 0) {
        return errno;
    }
    if (options.expected != nullptr) {
        struct stat after;
        if (::fstat(in, &after) != 0) {
            return errno;
        }
        if (!MatchesRecord(after, *options.expected) || bytes != options.expected->size) {
            return kFileChanged;
        }
    }
    if (::fsync(out.get()) != 0) {
        return errno;
    }
    return out.Close();
}

}  // namespace

int CopyRegularFile(const std::string& source, const std::string& target,
                    const CopyOptions& options, CopiedSource* copied) {
    UniqueFd in;
    struct stat opened {};
    if (const int error = OpenSource(source, options, in, opened)) {
        return error;
    }
    if (const int error = CheckTarget(target, options.replace)) {
        return error;
    }
    const std::string folder(FolderOf(target));
    std::string pattern = folder + ".krelix-copy-XXXXXX";
    UniqueFd out(::mkostemp(pattern.data(), O_CLOEXEC));
    if (!out.valid()) {
        return errno;
    }
    TemporaryPath temporary(pattern);
    if (const int error = WriteCopy(in.get(), out, opened, options)) {
        return error;
    }
    const int published =
        options.replace == ReplaceExisting::Yes
            ? (::rename(temporary.path().c_str(), target.c_str()) == 0 ? 0 : errno)
            : MoveNoReplace(temporary.path(), target);
    if (published != 0) {
        return published;
    }
    temporary.Keep();
    SyncFolder(folder);
    if (copied != nullptr) {
        copied->device = opened.st_dev;
        copied->inode = opened.st_ino;
    }
    return 0;
}

}  // namespace krelix
