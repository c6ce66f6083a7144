#include "operations/links/link_replacement.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string>

#include "operations/files/file_copy.h"
#include "operations/files/file_operations.h"
#include "operations/files/no_replace_move.h"
#include "operations/files/opened_listed_file.h"
#include "operations/journal/journal_recorder.h"
#include "platform/sync_folder.h"
#include "platform/temporary_path.h"

namespace krelix {
namespace {

constexpr int kNameAttempts = 100;

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

bool IsReadOnlyMount(const std::string& path) {
    struct statvfs info {};
    return ::statvfs(path.c_str(), &info) == 0 && (info.f_flag & ST_RDONLY) != 0;
}

// A hard link between two mounts of one file system (bind mounts) is refused with EXDEV too;
// the user is told which of the two is the reason.
int CrossMountReason(const CFileItem& kept, const CFileItem& target) {
    const std::string folder(FolderOf(target.path));
    if (IsReadOnlyMount(folder.empty() ? "." : folder) || IsReadOnlyMount(kept.path)) {
        return EROFS;
    }
    return kOtherMount;
}

LinkResult Failed(int error, bool keptFailed = false) {
    LinkResult result;
    result.error = error;
    result.keptFailed = keptFailed;
    return result;
}

// One replacement from the journal's first word to the swap of the two names.
class Replacement {
  public:
    Replacement(const CFileItem& kept, const CFileItem& target, LinkKind kind,
                JournalRecorder* journal, const LinkSeams* seams)
        : kept_(kept), target_(target), kind_(kind), journal_(journal), seams_(seams) {}

    LinkResult Run(LinkRun run);

  private:
    int Open(bool& keptFailed);
    bool AlreadyLinked() const { return SameInode(keptFile_.status, targetFile_.status); }
    int Compare(bool& keptFailed);
    int Make(bool& keptFailed);
    int Swap(bool& keptFailed);
    void Finish();
    void Abandon();
    int MakeUnder(const std::string& name, bool& keptFailed);
    int MakeLink(const std::string& name);
    int MakeClone(const std::string& name);
    int CheckBeforeSwap(bool& keptFailed) const;
    int CheckAfterSwap(bool& keptFailed) const;
    void At(LinkStep step) const {
        if (seams_ != nullptr && seams_->at) {
            seams_->at(step);
        }
    }

    const CFileItem& kept_;
    const CFileItem& target_;
    LinkKind kind_;
    JournalRecorder* journal_;
    const LinkSeams* seams_;
    OpenedListedFile keptFile_;
    OpenedListedFile targetFile_;
    struct stat keptMade_ {};  // the kept file once its new name moved its status-change time
    struct stat made_ {};      // what will take the target's name
    TemporaryPath temporary_;
    std::int64_t entry_ = 0;
    bool stuck_ = false;  // the names could not be put back: left for the next start to find
};

// A clone is made before the comparison, as it costs nothing and fails at once where the file
// system has none; a hard link after it, as making it moves the kept file's status-change time.
LinkResult Replacement::Run(LinkRun run) {
    bool keptFailed = false;
    if (const int error = Open(keptFailed)) {
        return Failed(error, keptFailed);
    }
    LinkResult result;
    if (AlreadyLinked()) {
        result.alreadyLinked = true;
        result.identity = target_.identity;
        result.modified = target_.modified;
        return result;
    }
    if (keptFile_.status.st_dev != targetFile_.status.st_dev) {
        return Failed(EXDEV);
    }
    const bool replace = run == LinkRun::Replace;
    int error = replace && kind_ == LinkKind::Clone ? Make(keptFailed) : 0;
    if (error == 0) {
        error = Compare(keptFailed);
    }
    if (error == 0 && replace && kind_ == LinkKind::HardLink) {
        error = Make(keptFailed);
    }
    if (error == 0 && replace) {
        error = Swap(keptFailed);
    }
    if (error != 0) {
        Abandon();
        return Failed(error, keptFailed);
    }
    result.reclaimed = targetFile_.status.st_nlink == 1 ? target_.size : 0;
    if (!replace) {
        return result;
    }
    Finish();
    struct stat now;
    if (::lstat(target_.path.c_str(), &now) != 0) {
        return Failed(errno);  // replaced, then taken away by someone else
    }
    result.identity = IdentityOf(now);
    result.modified = now.st_mtim.tv_sec;
    return result;
}

int Replacement::Open(bool& keptFailed) {
    if (const int error = OpenListed(kept_, keptFile_)) {
        keptFailed = true;
        return error;
    }
    return OpenListed(target_, targetFile_);
}

int Replacement::Compare(bool& keptFailed) {
    if (const int error = CompareContent(keptFile_.fd.get(), targetFile_.fd.get(), keptFailed)) {
        return error;
    }
    if (const int error = StillListed(kept_, keptFile_)) {
        keptFailed = true;
        return error;
    }
    return StillListed(target_, targetFile_);
}

// The journal names the temporary name before it exists, so that a command stopped at any
// point leaves nothing the next start cannot find.
int Replacement::Make(bool& keptFailed) {
    const std::string prefix = std::string(FolderOf(target_.path)) + ".krelix-link-";
    const FileState keptState = StateOf(keptFile_.status);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string name = prefix + RandomSuffix();
        if (journal_ != nullptr) {
            entry_ = journal_->Before(EntryAction::Replaced, target_.path, name,
                                      kind_ == LinkKind::HardLink ? &keptState : nullptr);
            if (entry_ == 0) {
                return kJournalUnwritten;
            }
        }
        const int error = MakeUnder(name, keptFailed);
        if (error != EEXIST) {
            return error;
        }
        Abandon();
    }
    return EEXIST;
}

int Replacement::MakeUnder(const std::string& name, bool& keptFailed) {
    if (kind_ == LinkKind::Clone) {
        return MakeClone(name);
    }
    const int error = MakeLink(name);
    keptFailed = error == EMLINK || error == kFileChanged;
    return error;
}

int Replacement::MakeLink(const std::string& name) {
    // The journal's wait for the disk lies between the comparison and here.
    struct stat now {};
    if (::fstat(keptFile_.fd.get(), &now) != 0 || !SameVersion(now, keptFile_.status)) {
        return kFileChanged;
    }
    if (::link(kept_.path.c_str(), name.c_str()) != 0) {
        return errno == EXDEV ? CrossMountReason(kept_, target_) : errno;
    }
    temporary_.Set(name);
    // The path may have been swapped since it was opened: the link must be that very file.
    if (::lstat(name.c_str(), &made_) != 0 || ::fstat(keptFile_.fd.get(), &keptMade_) != 0) {
        return errno;
    }
    if (!SameInode(made_, keptFile_.status) || !SameContentVersion(keptMade_, keptFile_.status)) {
        return kFileChanged;
    }
    return 0;
}

// A clone carries the target's mode, owner and times; only root can give a file away, so a
// clone that would change the owner is refused.
int Replacement::MakeClone(const std::string& name) {
    UniqueFd out(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!out.valid()) {
        return errno;
    }
    temporary_.Set(name);
    if (::ioctl(out.get(), FICLONE, keptFile_.fd.get()) != 0) {
        return errno;
    }
    const struct stat& old = targetFile_.status;
    if (::fstat(out.get(), &made_) != 0) {
        return errno;
    }
    if ((made_.st_uid != old.st_uid || made_.st_gid != old.st_gid) &&
        ::fchown(out.get(), old.st_uid, old.st_gid) != 0) {
        return errno;
    }
    const struct timespec times[2] = {old.st_atim, old.st_mtim};
    if (::fchmod(out.get(), old.st_mode & 07777) != 0 || ::futimens(out.get(), times) != 0 ||
        ::fsync(out.get()) != 0 || ::fstat(out.get(), &made_) != 0) {
        return errno;
    }
    keptMade_ = keptFile_.status;
    if (journal_ != nullptr) {
        journal_->Prepared(entry_, StateOf(made_));
    }
    return 0;
}

// Both files as compared, to the status-change time's nanosecond, and both names still theirs.
int Replacement::CheckBeforeSwap(bool& keptFailed) const {
    struct stat now {};
    if (::fstat(keptFile_.fd.get(), &now) != 0 || !SameVersion(now, keptMade_) ||
        ::lstat(kept_.path.c_str(), &now) != 0 || !SameInode(now, keptMade_)) {
        keptFailed = true;
        return kFileChanged;
    }
    return StillListed(target_, targetFile_);
}

// The names were swapped: the target's path names the new file and the temporary name the old
// one. Either file written to meanwhile shows a new size or modification time.
int Replacement::CheckAfterSwap(bool& keptFailed) const {
    struct stat now {};
    if (::fstat(keptFile_.fd.get(), &now) != 0 || !SameContentVersion(now, keptMade_)) {
        keptFailed = true;
        return kFileChanged;
    }
    if (::fstat(targetFile_.fd.get(), &now) != 0 || !SameContentVersion(now, targetFile_.status)) {
        return kFileChanged;
    }
    if (::lstat(target_.path.c_str(), &now) != 0 || !SameContentVersion(now, made_)) {
        return kFileChanged;
    }
    return 0;
}

int Replacement::Swap(bool& keptFailed) {
    if (const int error = CheckBeforeSwap(keptFailed)) {
        return error;
    }
    At(LinkStep::LastCheckDone);
    const std::string& name = temporary_.path();
    if (::renameat2(AT_FDCWD, name.c_str(), AT_FDCWD, target_.path.c_str(), RENAME_EXCHANGE) != 0) {
        if (errno != EINVAL && errno != ENOSYS) {
            return errno;
        }
        // No exchange on this file system: the target's old file cannot be kept to put back,
        // so the last look above is the last word.
        if (::rename(name.c_str(), target_.path.c_str()) != 0) {
            return errno;
        }
        temporary_.Keep();
        return 0;
    }
    At(LinkStep::Swapped);
    if (const int error = CheckAfterSwap(keptFailed)) {
        // Put back: the target's path names its old file again, the new one goes.
        if (::renameat2(AT_FDCWD, name.c_str(), AT_FDCWD, target_.path.c_str(), RENAME_EXCHANGE) !=
            0) {
            temporary_.Keep();  // it holds the target's old file: never removed
            stuck_ = true;
        }
        return error;
    }
    At(LinkStep::Confirmed);
    return 0;  // the temporary name, now the old file, goes in Finish
}

// Nothing half-made stays: the temporary name goes before the journal hears that the entry
// came to nothing.
void Replacement::Abandon() {
    if (stuck_) {
        return;
    }
    temporary_.Remove();
    if (journal_ != nullptr && entry_ != 0) {
        journal_->NotDone(entry_);
        entry_ = 0;
    }
}

void Replacement::Finish() {
    // The temporary name now holds the target's old file; it goes unless someone put another
    // file there meanwhile.
    struct stat old {};
    if (!temporary_.path().empty() &&
        (::lstat(temporary_.path().c_str(), &old) != 0 || !SameInode(old, targetFile_.status))) {
        temporary_.Keep();
    }
    temporary_.Remove();
    At(LinkStep::OldFileRemoved);
    SyncFolder(std::string(FolderOf(target_.path)));
    if (journal_ != nullptr) {
        journal_->Done(entry_, target_.path);
    }
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
                           LinkRun run, JournalRecorder* journal, const LinkSeams* seams) {
    return Replacement(kept, target, kind, journal, seams).Run(run);
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
