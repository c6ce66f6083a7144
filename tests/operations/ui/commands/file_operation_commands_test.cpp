#include "operations/ui/commands/file_operation_commands.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <list>

#include "common/ui/report_last_error.h"
#include "operations/ui/qstring_printer.h"
#include "support/fake_progress.h"
#include "support/fake_prompts.h"
#include "support/folder_trash.h"
#include "support/immutable_folder.h"
#include "support/listed_record.h"
#include "support/temp_tree.h"

namespace krelix {
namespace {

using test::FakeProgress;
using test::FakePrompts;
using test::FolderTrash;
using test::ListedRecord;
using test::TempTree;

QString Q(const std::string& bytes) {
    return QString::fromStdString(bytes);
}

// A result copy in miniature: records that stay put, the rows' order, and what was struck.
class FileOperationCommandsTest : public ::testing::Test {
  protected:
    FileOperationCommandsTest()
        : trash(tree.AddFolder("trash")), commands(prompts, trash, progress) {}

    CFileItem* Add(const std::string& relative, const std::string& group,
                   const std::string& content = "same") {
        tree.AddFile(relative, content);
        tree.SetModifiedTime(relative, 1'600'000'000);
        records.push_back(ListedRecord(tree.Path(relative), group));
        records.back().rowIndex = static_cast<std::int32_t>(records.size() - 1);
        return &records.back();
    }

    std::vector<const CFileItem*> Listed() const {
        std::vector<const CFileItem*> listed;
        for (const CFileItem& record : records) {
            listed.push_back(&record);
        }
        return listed;
    }

    FileOperationCommands::Gone Strike() {
        return [this](CFileItem& item) { struck.push_back(item.rowIndex); };
    }

    TempTree tree;
    FakePrompts prompts;
    FakeProgress progress;
    FolderTrash trash;
    FileOperationCommands commands;
    std::list<CFileItem> records;
    std::vector<int> struck;
};

TEST_F(FileOperationCommandsTest, RecycleCheckedTrashesOnlyFilesThatAreStillTheOnesCompared) {
    CFileItem* fine = Add("a/fine", "g1");
    CFileItem* gone = Add("a/gone", "g1");
    CFileItem* changed = Add("a/changed", "g1");
    CFileItem* failing = Add("a/failing", "g1");
    Add("b/kept", "g1");
    ::unlink(gone->path.c_str());
    tree.AddFile("a/changed", "edited since");
    trash.failures[failing->path] = EACCES;

    CFileItem* const checked[] = {fine, gone, changed, failing};
    commands.RecycleChecked(checked, Listed(), Strike());

    EXPECT_EQ(std::vector<std::string>{fine->path}, trash.trashed);
    // The file that vanished is really gone: struck, and reported with the missing-file error.
    EXPECT_EQ((std::vector<int>{0, 1}), struck);
    EXPECT_EQ(1, fine->deleted);
    EXPECT_EQ(1, gone->deleted);
    EXPECT_EQ(0, changed->deleted);
    EXPECT_EQ(0, failing->deleted);
    EXPECT_TRUE(tree.Exists("a/changed"));
    ASSERT_EQ(3u, prompts.shown.size());
    EXPECT_EQ(LastErrorText(QStringLiteral("Failed to move the file ") + Q(gone->path) +
                                QStringLiteral(" to the trash"),
                            ENOENT),
              prompts.shown[0].text);
    EXPECT_EQ(QStringLiteral("Failed to move the file ") + Q(changed->path) +
                  QStringLiteral(" to the trash\nIt has changed since the search (content, "
                                 "size or times), so it was left as it is."),
              prompts.shown[1].text);
    EXPECT_EQ(LastErrorText(QStringLiteral("Failed to move the file ") + Q(failing->path) +
                                QStringLiteral(" to the trash"),
                            EACCES),
              prompts.shown[2].text);
    EXPECT_EQ(QStringLiteral("Error"), prompts.shown[2].caption);
    EXPECT_EQ(std::vector<std::string>{"Moving files to the trash"}, progress.titles);
    EXPECT_EQ(1, progress.ended);
}

TEST_F(FileOperationCommandsTest, CommandsThatEmptyGroupsAskOnceAndCancelDoesNothing) {
    CFileItem* a1 = Add("a1", "ga");
    CFileItem* a2 = Add("a2", "ga");
    CFileItem* b1 = Add("b1", "gb");
    CFileItem* b2 = Add("b2", "gb");
    b2->deleted = 1;  // already gone: b1 is the group's last copy
    CFileItem* c1 = Add("c1", "gc");
    Add("c2", "gc");
    CFileItem* const checked[] = {a1, a2, b1, b2, c1};

    prompts.answers = {false, false, false};
    commands.RecycleChecked(checked, Listed(), Strike());
    commands.DeleteChecked(checked, Listed(), Strike());
    prompts.paths = {Q(tree.AddFolder("dst"))};
    commands.MoveChecked(checked, Listed(), Strike());
    EXPECT_TRUE(trash.trashed.empty());
    EXPECT_TRUE(struck.empty());
    EXPECT_TRUE(tree.Exists("a1") && tree.Exists("a2") && tree.Exists("b1") && tree.Exists("c1"));
    const QString question = QStringLiteral(
        "2 duplicate groups would lose every copy: all their remaining files are to be %1.\n"
        "Do you want to go on?");
    ASSERT_EQ(4u, prompts.shown.size());
    EXPECT_EQ(question.arg(QStringLiteral("moved to the trash")), prompts.shown[0].text);
    EXPECT_EQ(QStringLiteral("okcancel"), prompts.shown[0].kind);
    EXPECT_EQ(question.arg(QStringLiteral("deleted permanently")) +
                  QStringLiteral("\nThis cannot be undone."),
              prompts.shown[1].text);
    EXPECT_EQ(question.arg(QStringLiteral("moved to ") + Q(tree.Path("dst/"))),
              prompts.shown[3].text);

    prompts.shown.clear();
    commands.DeleteChecked(checked, Listed(), Strike());  // an empty queue answers OK
    ASSERT_EQ(1u, prompts.shown.size());
    EXPECT_FALSE(tree.Exists("a1") || tree.Exists("a2") || tree.Exists("b1") || tree.Exists("c1"));
    EXPECT_TRUE(tree.Exists("b2"));  // deleted records are skipped
    EXPECT_EQ((std::vector<int>{0, 1, 2, 4}), struck);

    // A group of one: the selected file is its last copy.
    prompts.shown.clear();
    CFileItem* last = Add("last", "gl");
    prompts.answers = {false};
    commands.DeleteSelected(last, Listed(), Strike());
    EXPECT_TRUE(tree.Exists("last"));
    EXPECT_EQ(QStringLiteral("1 duplicate group would lose every copy: all its remaining files "
                             "are to be deleted permanently.\nDo you want to go on?\n"
                             "This cannot be undone."),
              prompts.shown.at(0).text);
}

// The unchecked copy that the list still shows was removed, or edited with its time set back,
// after the search: deleting the checked one would lose the group's last copy.
TEST_F(FileOperationCommandsTest, AKeptCopyGoneOrEditedSinceTheSearchIsNoCopy) {
    CFileItem* removedKeeps = Add("r/checked", "gr");
    Add("r/kept", "gr");
    CFileItem* editedKeeps = Add("e/checked", "ge");
    Add("e/kept", "ge");
    ::unlink(tree.Path("r/kept").c_str());
    tree.EditKeepingModifiedTime("e/kept", "SAME");
    CFileItem* const checked[] = {removedKeeps, editedKeeps};
    prompts.answers = {false};
    commands.DeleteChecked(checked, Listed(), Strike());
    ASSERT_EQ(1u, prompts.shown.size());
    EXPECT_TRUE(prompts.shown[0].text.startsWith(QStringLiteral("2 duplicate groups would lose")))
        << prompts.shown[0].text.toStdString();
    EXPECT_TRUE(tree.Exists("r/checked") && tree.Exists("e/checked"));
}

TEST_F(FileOperationCommandsTest, RecycleSelectedAsksOneQuestion) {
    CFileItem* a = Add("a", "g");
    Add("b", "g");
    prompts.answers = {false};
    commands.RecycleSelected(a, Listed(), Strike());
    EXPECT_TRUE(trash.trashed.empty());
    commands.RecycleSelected(a, Listed(), Strike());
    EXPECT_EQ(std::vector<std::string>{a->path}, trash.trashed);
    EXPECT_EQ(std::vector<int>{0}, struck);
    ASSERT_EQ(2u, prompts.shown.size());
    EXPECT_EQ(QStringLiteral("yesno"), prompts.shown[0].kind);
    EXPECT_EQ(
        QStringLiteral("Are you sure you want to move this file to the trash?\n") + Q(a->path),
        prompts.shown[0].text);

    // Deleted or no selection: nothing is asked.
    commands.RecycleSelected(a, Listed(), Strike());
    commands.RecycleSelected(nullptr, Listed(), Strike());
    EXPECT_EQ(2u, prompts.shown.size());

    // The last copy of its group: the loss question stands in for the confirmation.
    CFileItem* b = &*std::next(records.begin());
    trash.failures[b->path] = EROFS;
    commands.RecycleSelected(b, Listed(), Strike());
    ASSERT_EQ(4u, prompts.shown.size());
    EXPECT_EQ(QStringLiteral("okcancel"), prompts.shown[2].kind);
    EXPECT_EQ(LastErrorText(QStringLiteral("Failed to move this file to the trash."), EROFS),
              prompts.shown[3].text);
    EXPECT_EQ(0, b->deleted);
}

TEST_F(FileOperationCommandsTest, DeleteReportsEachFailureAndGoesOn) {
    CFileItem* missing = Add("missing", "g");
    CFileItem* locked = Add("locked/f", "g");
    CFileItem* fine = Add("fine", "g");
    Add("keep", "g");
    ::unlink(missing->path.c_str());
    test::ImmutableFolder immutable(tree.Path("locked"));
    if (!immutable.ok()) {
        GTEST_SKIP() << "cannot make a folder immutable here";
    }
    CFileItem* const checked[] = {missing, locked, fine};
    commands.DeleteChecked(checked, Listed(), Strike());
    EXPECT_EQ(
        (QStringList{
            LastErrorText(QStringLiteral("Failed to delete the file ") + Q(missing->path), ENOENT),
            LastErrorText(QStringLiteral("Failed to delete the file ") + Q(locked->path), EPERM)}),
        prompts.Texts());
    EXPECT_EQ((std::vector<int>{0, 2}), struck);
    EXPECT_EQ(0, locked->deleted);

    prompts.shown.clear();
    commands.DeleteSelected(locked, Listed(), Strike());
    EXPECT_EQ(QStringList{LastErrorText(QStringLiteral("Failed to delete this file."), EPERM)},
              prompts.Texts());
}

TEST_F(FileOperationCommandsTest, MoveIntoChosenFolderNeverReplaces) {
    CFileItem* first = Add("x/same", "g", "first");
    CFileItem* second = Add("y/same", "g", "first");
    Add("z/keep", "g", "first");
    CFileItem* const checked[] = {first, second};

    commands.MoveChecked(checked, Listed(), Strike());  // chooser cancelled
    EXPECT_TRUE(tree.Exists("x/same"));
    EXPECT_EQ(QStringLiteral("folder"), prompts.shown.at(0).kind);
    EXPECT_EQ(QStringLiteral("Select a folder"), prompts.shown.at(0).caption);

    prompts.shown.clear();
    tree.AddFolder("dst");
    prompts.paths = {Q(tree.Path("dst"))};  // no trailing "/"
    commands.MoveChecked(checked, Listed(), Strike());
    EXPECT_EQ("first", tree.Read("dst/same"));
    EXPECT_FALSE(tree.Exists("x/same"));
    EXPECT_TRUE(tree.Exists("y/same"));
    EXPECT_EQ(std::vector<int>{0}, struck);
    EXPECT_EQ(first->path, tree.Path("x/same"));  // a moved record keeps its old path
    EXPECT_EQ(
        QStringList{LastErrorText(QStringLiteral("Failed to move the file ") + Q(second->path) +
                                      QStringLiteral(" to ") + Q(tree.Path("dst/same")),
                                  EEXIST)},
        prompts.Texts().mid(1));
}

TEST_F(FileOperationCommandsTest, CopyAsksBeforeReplacingAndChangesNoRecord) {
    CFileItem* a = Add("src/a", "g", "new a");
    CFileItem* b = Add("src/b", "g", "new b");
    CFileItem* missing = Add("src/missing", "g");
    ::unlink(missing->path.c_str());
    tree.AddFile("dst/a", "old a");
    tree.AddFile("dst/b", "old b");
    prompts.paths = {Q(tree.Path("dst/"))};
    prompts.answers = {false, true};
    CFileItem* const checked[] = {a, b, missing};
    commands.CopyChecked(checked);
    EXPECT_EQ("old a", tree.Read("dst/a"));
    EXPECT_EQ("new b", tree.Read("dst/b"));
    EXPECT_EQ("new a", tree.Read("src/a"));
    EXPECT_EQ(0, a->deleted + b->deleted + missing->deleted);
    ASSERT_EQ(4u, prompts.shown.size());
    EXPECT_EQ(QStringLiteral("The file ") + Q(tree.Path("dst/a")) +
                  QStringLiteral(" already exists.\nDo you want to replace it?"),
              prompts.shown[1].text);
    EXPECT_EQ(LastErrorText(QStringLiteral("Failed to copy the file ") + Q(missing->path) +
                                QStringLiteral(" to ") + Q(tree.Path("dst/missing")),
                            ENOENT),
              prompts.shown[3].text);
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), [&] {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(tree.Path("dst"))) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }());
}

TEST_F(FileOperationCommandsTest, CopyReplacesAFileOnlyWithTheContentCompared) {
    CFileItem* edited = Add("src/a", "g", "new a");
    tree.EditKeepingModifiedTime("src/a", "NEW A");
    tree.AddFile("dst/a", "old a");
    prompts.paths = {Q(tree.Path("dst/"))};
    prompts.answers = {true};
    CFileItem* const checked[] = {edited};
    commands.CopyChecked(checked);
    EXPECT_EQ("old a", tree.Read("dst/a"));
    ASSERT_EQ(3u, prompts.shown.size());
    EXPECT_TRUE(prompts.shown[2].text.endsWith(QStringLiteral("so it was left as it is.")))
        << prompts.shown[2].text.toStdString();
}

TEST_F(FileOperationCommandsTest, CancelStopsAfterTheCurrentFile) {
    CFileItem* a = Add("a", "g");
    CFileItem* b = Add("b", "g");
    CFileItem* c = Add("c", "g");
    Add("d", "g");
    progress.stopBefore = 2;
    CFileItem* const checked[] = {a, b, c};
    commands.DeleteChecked(checked, Listed(), Strike());
    EXPECT_EQ((std::vector<int>{0, 1}), struck);
    EXPECT_TRUE(tree.Exists("c"));
    EXPECT_EQ(std::vector<std::size_t>{3}, progress.totals);
    EXPECT_EQ(1, progress.ended);
}

}  // namespace
}  // namespace krelix
