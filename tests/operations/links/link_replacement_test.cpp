#include "operations/links/link_replacement.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fcntl.h>
#include <cerrno>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "operations/files/file_copy.h"
#include "operations/files/file_operations.h"
#include "support/immutable_folder.h"
#include "support/kernel_mount.h"
#include "support/listed_record.h"
#include "support/loop_mount.h"
#include "support/temp_tree.h"

namespace krelix {
namespace {

using test::ListedRecord;
using test::TempTree;

struct stat Status(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(0, ::lstat(path.c_str(), &status)) << path;
    return status;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Names the replacing left behind in the folder: there must never be any.
std::vector<std::string> Leftovers(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(".krelix-link-")) {
            names.push_back(name);
        }
    }
    return names;
}

class LinkReplacementTest : public ::testing::Test {
  protected:
    // A file at a full path, as the search would list it.
    CFileItem ListedAt(const std::string& path, std::string_view content = "the same bytes") {
        std::ofstream(path, std::ios::binary) << content;
        return ListedRecord(path, "14ABCDEF01");
    }
    CFileItem Listed(std::string_view relative, std::string_view content = "the same bytes") {
        return ListedAt(tree.AddFile(relative, content), content);
    }

    TempTree tree;
};

TEST_F(LinkReplacementTest, HardLinksMakeEveryTargetTheKeptFileAndRecordsKeepWorking) {
    CFileItem kept = Listed("kept");
    CFileItem first = Listed("sub/first");
    CFileItem second = Listed("sub/second");
    std::vector<CFileItem*> group{&kept, &first, &second};

    for (CFileItem* target : {&first, &second}) {
        const LinkResult result = ReplaceWithLink(kept, *target, LinkKind::HardLink);
        ASSERT_EQ(0, result.error) << target->path;
        EXPECT_EQ(kept.size, result.reclaimed);
        FollowReplacement(*target, result, group);
        EXPECT_EQ(Status(kept.path).st_ino, Status(target->path).st_ino);
    }
    EXPECT_EQ(3u, Status(kept.path).st_nlink);
    EXPECT_EQ("the same bytes", ReadFile(second.path));
    // Linking moved the kept file's status-change time; the records followed it, so a later
    // command still finds every file the one it knows.
    for (const CFileItem* record : group) {
        EXPECT_EQ(0, CheckListedFile(*record)) << record->path;
    }
    EXPECT_TRUE(Leftovers(tree.root()).empty());
    EXPECT_TRUE(Leftovers(tree.Path("sub")).empty());

    const LinkResult again = ReplaceWithLink(kept, first, LinkKind::HardLink);
    EXPECT_EQ(0, again.error);
    EXPECT_TRUE(again.alreadyLinked);
    EXPECT_EQ(0u, again.reclaimed);
}

TEST_F(LinkReplacementTest, RemovingOneNameOfALinkedFileLeavesTheOtherRecordsUsable) {
    CFileItem kept = Listed("kept");
    CFileItem first = Listed("first");
    CFileItem second = Listed("second");
    std::vector<CFileItem*> group{&kept, &first, &second};
    for (CFileItem* target : {&first, &second}) {
        FollowReplacement(*target, ReplaceWithLink(kept, *target, LinkKind::HardLink), group);
    }
    ASSERT_EQ(0, ::unlink(first.path.c_str()));  // as a delete command would
    first.deleted = 1;
    EXPECT_EQ(kFileChanged, CheckListedFile(kept)) << "the link count moved the ctime";

    FollowSharedFile(first, group);
    EXPECT_EQ(0, CheckListedFile(kept));
    EXPECT_EQ(0, CheckListedFile(second));

    // A file written to since is no longer followed.
    tree.EditKeepingModifiedTime("kept", "the SAME bytes");
    tree.SetModifiedTime("kept", 1'000);
    FollowSharedFile(first, group);
    EXPECT_EQ(kFileChanged, CheckListedFile(second));
}

TEST_F(LinkReplacementTest, FilesChangedOrDifferentAfterTheSearchAreLeftAsTheyAre) {
    CFileItem kept = Listed("kept");
    CFileItem edited = Listed("edited");
    CFileItem differs = Listed("differs", "the samE bytes");  // as if the CRCs had collided
    tree.EditKeepingModifiedTime("edited", "the SAME bytes");
    const ino_t editedInode = Status(edited.path).st_ino;

    const LinkResult changed = ReplaceWithLink(kept, edited, LinkKind::HardLink);
    EXPECT_EQ(kFileChanged, changed.error);
    EXPECT_FALSE(changed.keptFailed);
    EXPECT_EQ(editedInode, Status(edited.path).st_ino);
    EXPECT_EQ("the SAME bytes", tree.Read("edited"));

    const LinkResult unequal = ReplaceWithLink(kept, differs, LinkKind::HardLink);
    EXPECT_EQ(kContentDiffers, unequal.error);
    EXPECT_FALSE(unequal.keptFailed);
    EXPECT_EQ("the samE bytes", tree.Read("differs"));
    EXPECT_EQ(1u, Status(kept.path).st_nlink);
    EXPECT_EQ(0, CheckListedFile(kept));  // the refusals did not touch it either
    EXPECT_TRUE(Leftovers(tree.root()).empty());
}

TEST_F(LinkReplacementTest, AKeptFileChangedOrGoneIsTheKeptFilesFailure) {
    CFileItem kept = Listed("kept");
    CFileItem target = Listed("target");
    tree.EditKeepingModifiedTime("kept", "the SAME bytes");
    for (const LinkKind kind : {LinkKind::HardLink, LinkKind::Clone}) {
        const LinkResult result = ReplaceWithLink(kept, target, kind);
        EXPECT_EQ(kFileChanged, result.error);
        EXPECT_TRUE(result.keptFailed);
    }
    ::unlink(kept.path.c_str());
    const LinkResult gone = ReplaceWithLink(kept, target, LinkKind::HardLink);
    EXPECT_EQ(ENOENT, gone.error);
    EXPECT_TRUE(gone.keptFailed);
    EXPECT_EQ(0, CheckListedFile(target));
}

TEST_F(LinkReplacementTest, ATargetSwappedForALinkOrMissingIsRefused) {
    CFileItem kept = Listed("kept");
    CFileItem swapped = Listed("swapped");
    CFileItem missing = Listed("missing");
    ::unlink(swapped.path.c_str());
    tree.AddSymlink("swapped", kept.path);
    ::unlink(missing.path.c_str());

    EXPECT_EQ(kNotRegularFile, ReplaceWithLink(kept, swapped, LinkKind::HardLink).error);
    EXPECT_TRUE(IsGone(ReplaceWithLink(kept, missing, LinkKind::HardLink).error));
    EXPECT_TRUE(S_ISLNK(Status(swapped.path).st_mode));
}

TEST_F(LinkReplacementTest, ADryRunChecksEverythingAndChangesNothing) {
    CFileItem kept = Listed("kept");
    CFileItem target = Listed("target");
    CFileItem edited = Listed("edited");
    tree.EditKeepingModifiedTime("edited", "the SAME bytes");

    const LinkResult result = ReplaceWithLink(kept, target, LinkKind::HardLink, LinkRun::DryRun);
    EXPECT_EQ(0, result.error);
    EXPECT_EQ(kept.size, result.reclaimed);
    EXPECT_EQ(kFileChanged,
              ReplaceWithLink(kept, edited, LinkKind::HardLink, LinkRun::DryRun).error);
    EXPECT_NE(Status(kept.path).st_ino, Status(target.path).st_ino);
    EXPECT_EQ(0, CheckListedFile(kept));
    EXPECT_EQ(0, CheckListedFile(target));
}

TEST_F(LinkReplacementTest, ATargetWithAnotherNameReclaimsNothing) {
    CFileItem kept = Listed("kept");
    CFileItem target = Listed("target");
    tree.AddHardLink("elsewhere", "target");
    target = ListedRecord(target.path, target.groupKey);  // the extra name moved its ctime

    const LinkResult result = ReplaceWithLink(kept, target, LinkKind::HardLink);
    EXPECT_EQ(0, result.error);
    EXPECT_EQ(0u, result.reclaimed);
    EXPECT_EQ("the same bytes", tree.Read("elsewhere"));
}

TEST_F(LinkReplacementTest, NoPermissionInTheTargetsFolderLeavesTheTarget) {
    CFileItem kept = Listed("kept");
    CFileItem target = Listed("locked/target");
    test::ImmutableFolder locked(tree.Path("locked"));
    if (!locked.ok()) {
        GTEST_SKIP() << "this file system or process cannot make a folder immutable";
    }
    for (const LinkKind kind : {LinkKind::HardLink, LinkKind::Clone}) {
        const LinkResult result = ReplaceWithLink(kept, target, kind);
        EXPECT_TRUE(result.error == EPERM || result.error == EACCES) << result.error;
        EXPECT_FALSE(result.keptFailed);
        EXPECT_EQ(0, CheckListedFile(target));
    }
}

TEST_F(LinkReplacementTest, AcrossFileSystemsNothingIsReplaced) {
    if (::access("/dev/shm", W_OK) != 0) {
        GTEST_SKIP() << "/dev/shm is not writable here";
    }
    char folder[] = "/dev/shm/krelix-link-test-XXXXXX";
    ASSERT_NE(nullptr, ::mkdtemp(folder));
    const std::string other = std::string(folder) + "/target";
    CFileItem kept = Listed("kept");
    CFileItem target = ListedAt(other);
    if (Status(kept.path).st_dev == Status(other).st_dev) {
        std::filesystem::remove_all(folder);
        GTEST_SKIP() << "the temporary folder lies on /dev/shm's file system";
    }
    for (const LinkKind kind : {LinkKind::HardLink, LinkKind::Clone}) {
        EXPECT_EQ(EXDEV, ReplaceWithLink(kept, target, kind).error);
    }
    EXPECT_EQ(0, CheckListedFile(target));
    EXPECT_TRUE(Leftovers(folder).empty());
    std::filesystem::remove_all(folder);
}

TEST_F(LinkReplacementTest, CloneOnAFileSystemWithoutClonesLeavesTheTarget) {
    CFileItem kept = Listed("kept");
    CFileItem target = Listed("target");
    const LinkResult result = ReplaceWithLink(kept, target, LinkKind::Clone);
    if (result.error == 0) {
        GTEST_SKIP() << "the temporary folder's file system makes clones";
    }
    EXPECT_TRUE(IsCloneUnsupported(result.error)) << std::strerror(result.error);
    EXPECT_FALSE(result.keptFailed);
    EXPECT_EQ(0, CheckListedFile(target));
    EXPECT_EQ(0, CheckListedFile(kept));
    EXPECT_TRUE(Leftovers(tree.root()).empty());
}

TEST_F(LinkReplacementTest, CloneKeepsTheReplacedFilesModeOwnerAndTimes) {
    const test::LoopMount btrfs("btrfs", tree.Path("btrfs.img"), tree.Path("mnt"));
    if (!btrfs.ok()) {
        GTEST_SKIP() << "no btrfs to clone on: " << btrfs.why();
    }
    const std::string content(300'000, 'c');
    CFileItem kept = ListedAt(btrfs.root() + "kept", content);
    const std::string targetPath = btrfs.root() + "target";
    std::ofstream(targetPath, std::ios::binary) << content;
    ASSERT_EQ(0, ::chmod(targetPath.c_str(), 0640));
    ASSERT_EQ(0, ::chown(targetPath.c_str(), 1234, 5678));
    const struct timespec times[2] = {{1'500'000'000, 123}, {1'400'000'000, 456'789}};
    ASSERT_EQ(0, ::utimensat(AT_FDCWD, targetPath.c_str(), times, AT_SYMLINK_NOFOLLOW));
    CFileItem target = ListedRecord(targetPath, kept.groupKey);
    const ino_t oldInode = Status(targetPath).st_ino;
    std::vector<CFileItem*> group{&kept, &target};

    const LinkResult result = ReplaceWithLink(kept, target, LinkKind::Clone);
    ASSERT_EQ(0, result.error) << std::strerror(result.error);
    FollowReplacement(target, result, group);

    const struct stat now = Status(targetPath);
    EXPECT_NE(oldInode, now.st_ino);
    EXPECT_NE(Status(kept.path).st_ino, now.st_ino);
    EXPECT_EQ(0640u, now.st_mode & 07777);
    EXPECT_EQ(1234u, now.st_uid);
    EXPECT_EQ(5678u, now.st_gid);
    EXPECT_EQ(1'400'000'000, now.st_mtim.tv_sec);
    EXPECT_EQ(456'789, now.st_mtim.tv_nsec);
    EXPECT_EQ(content, ReadFile(targetPath));
    EXPECT_EQ(0, CheckListedFile(target));
    EXPECT_EQ(0, CheckListedFile(kept));  // a clone leaves the kept file as it was
    EXPECT_TRUE(Leftovers(btrfs.root()).empty());
}

// Another program that holds a file open writes to it at the worst moment: between the last
// check and the swap of the names, or just after the swap. The target is never replaced by a
// file that no longer holds what was compared, and neither file loses a byte.
TEST_F(LinkReplacementTest, AFileWrittenToWhileItsNameIsTakenOverIsPutBack) {
    const struct {
        LinkStep step;
        bool editKept;
    } cases[] = {{LinkStep::LastCheckDone, true},
                 {LinkStep::LastCheckDone, false},
                 {LinkStep::Swapped, true},
                 {LinkStep::Swapped, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.step == LinkStep::Swapped ? "after the swap, " : "before, ") +
                     (c.editKept ? "kept edited" : "target edited"));
        TempTree folder;
        CFileItem kept = ListedAt(folder.Path("kept"));
        CFileItem target = ListedAt(folder.Path("target"));
        const ino_t targetInode = Status(target.path).st_ino;
        const int writer =
            ::open((c.editKept ? kept : target).path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
        ASSERT_GE(writer, 0);
        LinkSeams seams;
        seams.at = [&](LinkStep step) {
            if (step == c.step) {
                ASSERT_EQ(1, ::write(writer, "!", 1));
            }
        };

        const LinkResult result =
            ReplaceWithLink(kept, target, LinkKind::HardLink, LinkRun::Replace, nullptr, &seams);
        ::close(writer);
        EXPECT_EQ(kFileChanged, result.error);
        EXPECT_EQ(c.editKept, result.keptFailed);
        EXPECT_EQ(targetInode, Status(target.path).st_ino);
        EXPECT_EQ(std::string("the same bytes") + (c.editKept ? "!" : ""), ReadFile(kept.path));
        EXPECT_EQ(std::string("the same bytes") + (c.editKept ? "" : "!"), ReadFile(target.path));
        EXPECT_EQ(1u, Status(kept.path).st_nlink);
        EXPECT_TRUE(Leftovers(folder.root()).empty());
    }
}

// Hard links cannot cross mounts even of one file system; a read-only mount is named as such.
TEST_F(LinkReplacementTest, BindMountsAreToldApartFromOtherFileSystems) {
    CFileItem kept = Listed("src/kept");
    const std::string targetPath = tree.AddFile("src/target", "the same bytes");
    for (const auto access :
         {test::KernelMount::Access::ReadWrite, test::KernelMount::Access::ReadOnly}) {
        const test::KernelMount bind =
            test::KernelMount::Bind(tree.Path("src"), tree.Path("bind"), access);
        if (!bind.ok()) {
            GTEST_SKIP() << bind.why();
        }
        // The kept file seen through the bind mount, the target through its own folder.
        CFileItem keptThere = ListedRecord(tree.Path("bind/kept"), kept.groupKey);
        CFileItem target = ListedRecord(targetPath, kept.groupKey);
        const LinkResult result = ReplaceWithLink(keptThere, target, LinkKind::HardLink);
        EXPECT_EQ(access == test::KernelMount::Access::ReadOnly ? EROFS : kOtherMount,
                  result.error);
        EXPECT_EQ(0, CheckListedFile(target));
        EXPECT_TRUE(Leftovers(tree.Path("src")).empty());
    }
}

}  // namespace
}  // namespace krelix
