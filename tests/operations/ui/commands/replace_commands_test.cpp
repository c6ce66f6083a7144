#include "operations/ui/commands/replace_commands.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <list>

#include "operations/files/file_operations.h"
#include "operations/files/operation_progress.h"
#include "operations/journal/command_journal.h"
#include "operations/selection/protected_folders.h"
#include "operations/ui/commands/file_operation_commands.h"
#include "operations/ui/qstring_printer.h"
#include "support/fake_progress.h"
#include "support/fake_prompts.h"
#include "support/folder_trash.h"
#include "support/listed_record.h"
#include "support/temp_tree.h"

namespace krelix {
namespace {

using test::FakeProgress;
using test::FakePrompts;
using test::ListedRecord;
using test::TempTree;

ino_t Inode(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(0, ::lstat(path.c_str(), &status)) << path;
    return status.st_ino;
}

class ReplaceCommandsTest : public ::testing::Test {
  protected:
    ReplaceCommandsTest() : commands(prompts, progress) {
        std::string notice;
        journal = CommandJournal::Open(state.Path("journal.sqlite"), 1'700'000'000, notice);
        commands.SetJournal(journal.get());
    }

    CFileItem* Add(const std::string& relative, const std::string& group,
                   const std::string& content = "same") {
        tree.AddFile(relative, content);
        records.push_back(ListedRecord(tree.Path(relative), group));
        records.back().rowIndex = static_cast<std::int32_t>(records.size() - 1);
        return &records.back();
    }
    std::vector<CFileItem*> Listed() {
        std::vector<CFileItem*> listed;
        for (CFileItem& record : records) {
            listed.push_back(&record);
        }
        return listed;
    }
    void Replace(LinkKind kind, std::vector<CFileItem*> checked) {
        commands.ReplaceChecked(
            kind, checked, Listed(),
            [this](CFileItem& item, LinkKind made) {
                linked.push_back(item.rowIndex);
                EXPECT_EQ(made, madeKind);
            },
            [this](CFileItem& item) { gone.push_back(item.rowIndex); });
    }

    TempTree tree;
    TempTree state;
    std::unique_ptr<CommandJournal> journal;
    FakePrompts prompts;
    FakeProgress progress;
    ReplaceCommands commands;
    std::list<CFileItem> records;
    std::vector<int> linked;
    std::vector<int> gone;
    LinkKind madeKind = LinkKind::HardLink;
};

TEST_F(ReplaceCommandsTest, CheckedFilesBecomeHardLinksAndStayUsableForLaterCommands) {
    CFileItem* first = Add("a/first", "g1");  // checked: not the kept file
    CFileItem* kept = Add("b/kept", "g1");
    CFileItem* third = Add("c/third", "g1");
    CFileItem* other = Add("d/other", "g2", "more");
    CFileItem* otherKept = Add("d/otherKept", "g2", "more");

    Replace(LinkKind::HardLink, {first, third, other});

    EXPECT_TRUE(prompts.shown.empty()) << prompts.Texts().join("\n").toStdString();
    EXPECT_EQ((std::vector<int>{0, 2, 3}), linked);
    EXPECT_EQ(Inode(kept->path), Inode(first->path));
    EXPECT_EQ(Inode(kept->path), Inode(third->path));
    EXPECT_EQ(Inode(otherKept->path), Inode(other->path));
    EXPECT_EQ((std::vector<std::size_t>{3}), progress.totals);
    EXPECT_EQ(1, progress.ended);

    // The rows go on working: deleting a replaced file is not refused as changed, and the kept
    // file still counts as the group's copy.
    test::FolderTrash trash(tree.AddFolder("trash"));
    FileOperationCommands files(prompts, trash, progress);
    CFileItem* const again[] = {first};
    std::vector<const CFileItem*> listed(records.size());
    std::transform(records.begin(), records.end(), listed.begin(),
                   [](const CFileItem& r) { return &r; });
    files.DeleteChecked(again, listed, [](CFileItem&) {});
    EXPECT_TRUE(prompts.shown.empty()) << prompts.Texts().join("\n").toStdString();
    EXPECT_FALSE(tree.Exists("a/first"));
    EXPECT_EQ("same", tree.Read("b/kept"));
}

TEST_F(ReplaceCommandsTest, AKeptFileChangedSinceTheSearchIsNotKept) {
    Add("kept", "g1");
    CFileItem* a = Add("a", "g1");
    tree.EditKeepingModifiedTime("kept", "SAME");
    const ino_t before = Inode(a->path);

    Replace(LinkKind::HardLink, {a});

    ASSERT_EQ(1u, prompts.shown.size());
    EXPECT_TRUE(prompts.shown[0].text.startsWith(QStringLiteral("1 duplicate group has no")));
    EXPECT_TRUE(linked.empty());
    EXPECT_EQ(before, Inode(a->path));
}

// Lets a test change files while a command runs, just before file number `at`.
class MeddlingProgress final : public OperationProgress {
  public:
    std::size_t at = 0;
    std::function<void()> meddle;
    std::vector<std::string> paths;
    void Begin(const std::string&, std::size_t) override {}
    bool Next(std::size_t done, const std::string& path) override {
        if (done == at && meddle) {
            meddle();
        }
        paths.push_back(path);
        return true;
    }
    void End() override {}
};

TEST_F(ReplaceCommandsTest, AKeptFileChangedDuringTheCommandStopsItsGroupWithOneReport) {
    CFileItem* kept = Add("kept", "g1");
    CFileItem* a = Add("a", "g1");
    CFileItem* b = Add("b", "g1");
    CFileItem* other = Add("other", "g2", "xy");
    Add("otherKept", "g2", "xy");
    MeddlingProgress meddling;
    meddling.meddle = [this] { tree.EditKeepingModifiedTime("kept", "SAME"); };
    ReplaceCommands running(prompts, meddling);
    running.SetJournal(journal.get());
    const ino_t before = Inode(a->path);

    running.ReplaceChecked(LinkKind::HardLink, std::vector<CFileItem*>{a, b, other}, Listed(),
                           [this](CFileItem& item, LinkKind) { linked.push_back(item.rowIndex); },
                           {});

    ASSERT_EQ(1u, prompts.shown.size()) << prompts.Texts().join("\n").toStdString();
    EXPECT_TRUE(prompts.shown[0].text.contains(QString::fromStdString(kept->path)));
    EXPECT_TRUE(prompts.shown[0].text.contains(QStringLiteral("changed since the search")));
    EXPECT_EQ(before, Inode(a->path));
    EXPECT_EQ((std::vector<std::string>{a->path, other->path}), meddling.paths);  // b not tried
    EXPECT_EQ((std::vector<int>{3}), linked);
}

TEST_F(ReplaceCommandsTest, AChangedTargetIsReportedAndTheGroupGoesOn) {
    Add("kept", "g1");
    CFileItem* edited = Add("edited", "g1");
    CFileItem* fine = Add("fine", "g1");
    CFileItem* missing = Add("missing", "g1");
    tree.EditKeepingModifiedTime("edited", "SAME");
    ::unlink(missing->path.c_str());

    Replace(LinkKind::HardLink, {edited, fine, missing});

    EXPECT_EQ(2u, prompts.shown.size());
    EXPECT_EQ((std::vector<int>{2}), linked);
    EXPECT_EQ((std::vector<int>{3}), gone);
    EXPECT_EQ(1, missing->deleted);
    EXPECT_EQ("SAME", tree.Read("edited"));
}

TEST_F(ReplaceCommandsTest, ReasonsSharedByManyFilesAreToldOnceAtTheEnd) {
    Add("a", "g1");
    CFileItem* b = Add("b", "g1");
    CFileItem* c = Add("c", "g1");
    CFileItem* lone1 = Add("lone1", "g2", "xy");
    CFileItem* lone2 = Add("lone2", "g2", "xy");
    madeKind = LinkKind::Clone;

    Replace(LinkKind::Clone, {b, c, lone1, lone2});
    if (!linked.empty()) {
        GTEST_SKIP() << "the temporary folder's file system makes clones";
    }
    ASSERT_EQ(1u, prompts.shown.size()) << prompts.Texts().join("\n").toStdString();
    EXPECT_EQ(QStringLiteral("1 duplicate group has no unchecked file left unchanged on disk to "
                             "keep, so its checked files were left alone.\n"
                             "2 files lie on a file system that cannot make clones, so they were "
                             "left alone."),
              prompts.shown[0].text);
    EXPECT_EQ(0, CheckListedFile(*b));
    EXPECT_EQ(0, CheckListedFile(*lone1));
}

TEST_F(ReplaceCommandsTest, ProtectedFilesAreLeftAloneWithOneMessage) {
    Add("kept", "g1");
    CFileItem* free = Add("free", "g1");
    CFileItem* safe1 = Add("safe/1", "g1");
    CFileItem* safe2 = Add("safe/2", "g1");
    const ProtectedFolders protectedFolders({tree.Path("safe")});
    commands.SetProtectedFolders(&protectedFolders);
    const ino_t safeInode = Inode(safe1->path);

    Replace(LinkKind::HardLink, {free, safe1, safe2});

    ASSERT_EQ(1u, prompts.shown.size());
    EXPECT_EQ(QStringLiteral("2 files lie in protected folders and were left alone."),
              prompts.shown[0].text);
    EXPECT_EQ((std::vector<int>{1}), linked);
    EXPECT_EQ(safeInode, Inode(safe1->path));
}

TEST(ProtectedRefusalTest, RecycleDeleteAndMoveLeaveProtectedFilesOnDisk) {
    TempTree tree;
    TempTree state;
    std::unique_ptr<CommandJournal> journal;
    FakePrompts prompts;
    FakeProgress progress;
    test::FolderTrash trash(tree.AddFolder("trash"));
    FileOperationCommands commands(prompts, trash, progress);
    const ProtectedFolders protectedFolders({tree.Path("safe/")});
    commands.SetProtectedFolders(&protectedFolders);
    std::list<CFileItem> records;
    for (const char* name : {"safe/a", "safe/b", "free/c", "free/d"}) {
        tree.AddFile(name, "same");
        records.push_back(ListedRecord(tree.Path(name), "g"));
    }
    std::vector<CFileItem*> all;
    std::vector<const CFileItem*> listed;
    for (CFileItem& record : records) {
        all.push_back(&record);
        listed.push_back(&record);
    }
    const std::string target = tree.AddFolder("moved");

    commands.DeleteChecked({all.data(), 3}, listed, {});
    commands.RecycleSelected(all[1], listed, {});
    prompts.paths.push_back(QString::fromStdString(target));
    commands.MoveChecked({all.data(), 2}, listed, {});

    EXPECT_TRUE(tree.Exists("safe/a"));
    EXPECT_TRUE(tree.Exists("safe/b"));
    EXPECT_FALSE(tree.Exists("free/c"));
    const QStringList texts = prompts.Texts();
    EXPECT_EQ(2, texts.count(QStringLiteral("2 files lie in protected folders and were left "
                                            "alone.")))
        << texts.join("\n").toStdString();
    EXPECT_EQ(1, texts.count(QStringLiteral("1 file lies in a protected folder and was left "
                                            "alone.")))
        << texts.join("\n").toStdString();
}

TEST_F(ReplaceCommandsTest, WithoutAJournalTheUserDecidesWhetherToReplaceAtAll) {
    commands.SetJournal(nullptr);
    Add("a/kept", "g");
    CFileItem* copy = Add("b/copy", "g");
    const ino_t before = Inode(copy->path);
    prompts.answers = {false};
    Replace(LinkKind::HardLink, {copy});
    ASSERT_EQ(1u, prompts.shown.size());
    EXPECT_EQ(QStringLiteral("yesno"), prompts.shown[0].kind);
    EXPECT_TRUE(prompts.shown[0].text.contains(QStringLiteral("could not be undone")));
    EXPECT_EQ(before, Inode(copy->path));

    prompts.answers = {true};
    Replace(LinkKind::HardLink, {copy});
    EXPECT_EQ(Inode(tree.Path("a/kept")), Inode(copy->path));
}

}  // namespace
}  // namespace krelix
