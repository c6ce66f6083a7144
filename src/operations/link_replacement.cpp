#include "operations/link_replacement.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "operations/file_copy.h"
#include "operations/file_operations.h"
#include "operations/file_rename.h"
#include "operations/journal_recorder.h"
#include "platform/sync_folder.h"

namespace krelix {
namespace {

constexpr std::size_t kCompareChunk = std::size_t{1} << 20;
constexpr int kNameAttempts = 100;

class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    void Reset(int fd) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }
    int get() const { return fd_; }

  private:
    int fd_;
};

// Removes the temporary name unless it was renamed over the target.
class TemporaryName {
  public:
    TemporaryName() = default;
    ~TemporaryName() {
        if (!path_.empty()) {
            ::unlink(path_.c_str());
        }
    }
    TemporaryName(const TemporaryName&) = delete;
    TemporaryName& operator=(const TemporaryName&) = delete;
    void Set(std::string path) { path_ = std::move(path); }
    const std::string& path() const { return path_; }
    void Keep() { path_.clear(); }

  private:
    std::string path_;
};

struct OpenedFile {
    Descriptor fd;
    struct stat status {};
};

bool SameInode(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Opens the record's file for reading once it is known to be the file compared: a FIFO or
// device is never opened, and a path swapped between the two looks is caught.
int OpenListed(const CFileItem& item, OpenedFile& file) {
    if (const int error = CheckListedFile(item)) {
        return error;
    }
    file.fd.Reset(
        ::open(item.path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.fd.get() < 0) {
        return errno == ELOOP ? kNotRegularFile : errno;
    }
    if (::fstat(file.fd.get(), &file.status) != 0) {
        return errno;
    }
    return MatchesRecord(file.status, item) ? 0 : kFileChanged;
}

// The open file is still the record's, unchanged, and its path still names it.
int StillListed(const CFileItem& item, const OpenedFile& file) {
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

// 0 when both hold the same bytes, kContentDiffers, or the errno of a read (keptFailed then
// says whose).
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

std::string RandomSuffix() {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device random;
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string suffix(6, ' ');
    for (char& c : suffix) {
        c = kLetters[pick(random)];
    }
    return suffix;
}

std::string TemporaryPrefix(const CFileItem& target) {
    return std::string(FolderOf(target.path)) + ".krelix-link-";
}

// A second name for the kept file beside the target, never over an existing name.
int LinkUnderTemporaryName(const CFileItem& kept, const CFileItem& target,
                           const OpenedFile& keptFile, TemporaryName& temporary) {
    const std::string prefix = TemporaryPrefix(target);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string name = prefix + RandomSuffix();
        if (::link(kept.path.c_str(), name.c_str()) == 0) {
            temporary.Set(std::move(name));
            // The path may have been swapped since it was opened: the link must be that file.
            struct stat linked;
            if (::lstat(temporary.path().c_str(), &linked) != 0) {
                return errno;
            }
            return SameInode(linked, keptFile.status) ? 0 : kFileChanged;
        }
        if (errno != EEXIST) {
            return errno;
        }
    }
    return EEXIST;
}

// A clone of the kept file beside the target, carrying the target's mode, owner and times.
int CloneUnderTemporaryName(const OpenedFile& keptFile, const CFileItem& target,
                            const OpenedFile& targetFile, TemporaryName& temporary) {
    std::string pattern = TemporaryPrefix(target) + "XXXXXX";
    Descriptor out(::mkostemp(pattern.data(), O_CLOEXEC));
    if (out.get() < 0) {
        return errno;
    }
    temporary.Set(pattern);
    if (::ioctl(out.get(), FICLONE, keptFile.fd.get()) != 0) {
        return errno;
    }
    struct stat made;
    if (::fstat(out.get(), &made) != 0) {
        return errno;
    }
    const struct stat& old = targetFile.status;
    // Only root can give a file away: a clone that would change the owner is refused.
    if ((made.st_uid != old.st_uid || made.st_gid != old.st_gid) &&
        ::fchown(out.get(), old.st_uid, old.st_gid) != 0) {
        return errno;
    }
    if (::fchmod(out.get(), old.st_mode & 07777) != 0) {
        return errno;
    }
    const struct timespec times[2] = {old.st_atim, old.st_mtim};
    if (::futimens(out.get(), times) != 0) {
        return errno;
    }
    return ::fsync(out.get()) == 0 ? 0 : errno;
}

LinkResult Failed(int error, bool keptFailed = false) {
    LinkResult result;
    result.error = error;
    result.keptFailed = keptFailed;
    return result;
}

}  // namespace

void FollowSharedFile(const CFileItem& actedOn, std::span<CFileItem* const> group) {
    for (CFileItem* member : group) {
        if (member == nullptr || member == &actedOn || member->deleted != 0 ||
            member->identity.device != actedOn.identity.device ||
            member->identity.inode != actedOn.identity.inode) {
            continue;
        }
        struct stat now;
        if (::lstat(member->path.c_str(), &now) != 0) {
            continue;
        }
        const FileIdentity seen = IdentityOf(now);
        if (S_ISREG(now.st_mode) && static_cast<std::uint64_t>(now.st_size) == member->size &&
            seen.device == member->identity.device && seen.inode == member->identity.inode &&
            seen.modifiedNs == member->identity.modifiedNs) {
            member->identity = seen;
        }
    }
}

bool IsCloneUnsupported(int error) {
    return error == EOPNOTSUPP || error == ENOTSUP || error == ENOTTY || error == ENOSYS;
}

LinkResult ReplaceWithLink(const CFileItem& kept, const CFileItem& target, LinkKind kind,
                           LinkRun run, JournalRecorder* journal) {
    OpenedFile keptFile;
    if (const int error = OpenListed(kept, keptFile)) {
        return Failed(error, true);
    }
    OpenedFile targetFile;
    if (const int error = OpenListed(target, targetFile)) {
        return Failed(error);
    }
    if (SameInode(keptFile.status, targetFile.status)) {
        LinkResult result;
        result.alreadyLinked = true;
        result.identity = target.identity;
        result.modified = target.modified;
        return result;
    }
    if (keptFile.status.st_dev != targetFile.status.st_dev) {
        return Failed(EXDEV);
    }

    // A clone is tried first, as it costs nothing and fails at once where the file system
    // has none; a hard link waits for the comparison, as making it moves the kept file's
    // status-change time.
    TemporaryName temporary;
    if (kind == LinkKind::Clone && run == LinkRun::Replace) {
        if (const int error = CloneUnderTemporaryName(keptFile, target, targetFile, temporary)) {
            return Failed(error);
        }
    }
    bool keptFailed = false;
    if (const int error = CompareContent(keptFile.fd.get(), targetFile.fd.get(), keptFailed)) {
        return Failed(error, keptFailed);
    }
    if (const int error = StillListed(kept, keptFile)) {
        return Failed(error, true);
    }
    if (const int error = StillListed(target, targetFile)) {
        return Failed(error);
    }
    LinkResult result;
    result.reclaimed = targetFile.status.st_nlink == 1 ? target.size : 0;
    if (run == LinkRun::DryRun) {
        return result;
    }
    if (kind == LinkKind::HardLink) {
        if (const int error = LinkUnderTemporaryName(kept, target, keptFile, temporary)) {
            return Failed(error, error == EMLINK || error == kFileChanged);
        }
    }
    // The last look before the target's name is taken over.
    if (const int error = StillListed(target, targetFile)) {
        return Failed(error);
    }
    const std::int64_t entry =
        journal != nullptr ? journal->Before(EntryAction::Replaced, target.path, target.path) : 0;
    if (::rename(temporary.path().c_str(), target.path.c_str()) != 0) {
        const int error = errno;
        if (journal != nullptr) {
            journal->NotDone(entry);
        }
        return Failed(error);
    }
    temporary.Keep();
    SyncFolder(std::string(FolderOf(target.path)));
    if (journal != nullptr) {
        journal->Done(entry, target.path);
    }

    struct stat now;
    if (::lstat(target.path.c_str(), &now) != 0) {
        return Failed(errno);  // replaced, then taken away by someone else
    }
    result.identity = IdentityOf(now);
    result.modified = now.st_mtim.tv_sec;
    return result;
}

void FollowReplacement(CFileItem& target, const LinkResult& result,
                       std::span<CFileItem* const> group) {
    if (result.error != 0) {
        return;
    }
    // The target's old file lost a name: records of its other names follow.
    FollowSharedFile(target, group);
    for (CFileItem* member : group) {
        if (member != nullptr && member->identity.device == result.identity.device &&
            member->identity.inode == result.identity.inode) {
            member->identity = result.identity;
        }
    }
    target.identity = result.identity;
    target.modified = result.modified;
}

}  // namespace krelix
