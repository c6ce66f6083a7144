#include "app/commands/file_commands.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include "app/results/mfc_list_ctrl_ex.h"
#include "app/results/results_model.h"
#include "app/state/krelix_dlg_model.h"
#include "app/window/krelix_dlg.h"
#include "support/fake_progress.h"
#include "support/fake_prompts.h"
#include "support/folder_trash.h"
#include "support/listed_record.h"
#include "support/temp_tree.h"

namespace krelix {
namespace {

struct File {
    std::string name;
    std::int64_t modified;
};

// The main window with its commands, over real files in groups of a temporary tree.
class FileCommandsTest : public ::testing::Test {
  protected:
    FileCommandsTest()
        : model(tree.Path("settings.dat")),
          window(model, prompts, CKrelixDlg::Dialogs{}),
          trash(tree.AddFolder("trash")),
          commands(model, *window.resultsList(), prompts, trash, progress) {}

    void AddGroup(const std::string& key, const std::vector<File>& files) {
        for (const File& file : files) {
            const std::string relative = key + "/" + file.name;
            tree.AddFile(relative, key);
            tree.SetModifiedTime(relative, file.modified);
            rows().AppendRecord(results().Add(test::ListedRecord(tree.Path(relative), key)));
        }
        rows().RestripeGroups();
    }

    ResultSet& results() { return model.results(); }
    ResultsModel& rows() { return model.rows(); }
    CMFCListCtrlEx& list() { return *window.resultsList(); }

    // One letter per row: the file name, upper case when checked.
    std::string Marks() {
        std::string marks;
        for (int row = 0; row < rows().rowCount(); ++row) {
            const char name = rows().RecordAt(row)->name().at(0);
            marks += rows().IsChecked(row) ? char(std::toupper(name)) : name;
        }
        return marks;
    }
    // Per row: "s" shaded, "-" not; "x" struck.
    std::string RowMarks() {
        std::string marks;
        for (int row = 0; row < rows().rowCount(); ++row) {
            marks += rows().IsRowShaded(row) ? 's' : '-';
            marks += rows().IsRowStruck(row) ? "x " : "  ";
            EXPECT_EQ(row, rows().RecordAt(row)->rowIndex);
        }
        return marks;
    }
    void CheckRows(std::initializer_list<int> checked) {
        for (int row : checked) {
            rows().SetChecked(row, true);
        }
    }
    void Run(CommandId id) { window.RunCommand(id); }

    test::TempTree tree;
    test::FakePrompts prompts;
    test::FakeProgress progress;
    KrelixDlgModel model;
    CKrelixDlg window;
    test::FolderTrash trash;
    FileCommands commands;
};

TEST_F(FileCommandsTest, SelectionRulesKeepOneCopyPerGroup) {
    AddGroup("1", {{"a", 100}, {"b", 300}, {"c", 200}});
    AddGroup("2", {{"d", 50}, {"e", 50}});
    AddGroup("3", {{"f", 10}, {"g", 20}});
    rows().RecordAt(6)->deleted = 1;  // g is gone: f is left alone in its group

    QToolButton* face = window.autoSelectButton();
    QTest::mouseClick(face, Qt::LeftButton, {}, QPoint(8, face->height() / 2));
    EXPECT_EQ("AbCdEfg", Marks());
    Run(CommandId::SelectNewest);
    EXPECT_EQ("aBCdEfg", Marks());
    Run(CommandId::InvertSelection);
    EXPECT_EQ("AbcDeFG", Marks()) << "deleted rows are inverted too";
    Run(CommandId::SelectOldest);
    EXPECT_EQ("AbCdEfg", Marks()) << "deleted rows lose their mark";
    Run(CommandId::DeselectAll);
    EXPECT_EQ("abcdefg", Marks());
}

TEST_F(FileCommandsTest, RulesFollowRowsAfterSortsAndRemovals) {
    AddGroup("1", {{"a", 100}, {"b", 300}});
    AddGroup("2", {{"c", 50}, {"d", 70}, {"e", 60}});
    AddGroup("3", {{"f", 10}, {"g", 20}});
    rows().sort(ResultsModel::NameColumn, Qt::DescendingOrder);
    Run(CommandId::SelectNewest);
    EXPECT_EQ("GfEDcBa", Marks());

    // Group 1 goes entirely; its key stays known and yields nothing.
    Run(CommandId::DeselectAll);
    CheckRows({5, 6});
    Run(CommandId::RemoveCheckedFiles);
    EXPECT_EQ(3u, results().GroupCount());
    Run(CommandId::SelectOldest);
    EXPECT_EQ("gFEdC", Marks());
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(FileCommandsTest, RemovalsRenumberRestripeAndKeepStruckRowsStruck) {
    AddGroup("1", {{"a", 1}, {"b", 1}});
    AddGroup("2", {{"c", 1}, {"d", 1}, {"e", 1}});
    AddGroup("3", {{"f", 1}, {"g", 1}});
    AddGroup("4", {{"h", 1}, {"i", 1}});
    EXPECT_EQ("-  -  s  s  s  -  -  s  s  ", RowMarks());

    list().selectRow(3);  // d
    Run(CommandId::DeleteSelectedPermanently);
    EXPECT_FALSE(tree.Exists("2/d"));
    EXPECT_EQ("-  -  s  sx s  -  -  s  s  ", RowMarks());

    // The first group and one row of the third go: the groups after them alternate anew.
    CheckRows({0, 1, 5});
    Run(CommandId::RemoveCheckedFiles);
    EXPECT_EQ("cdeghi", Marks());
    EXPECT_EQ("-  -x -  s  -  -  ", RowMarks());
    EXPECT_EQ(6u, results().size());

    list().clearSelection();
    Run(CommandId::RemoveSelectedFile);  // nothing selected: only renumbers
    EXPECT_EQ(6, rows().rowCount());

    list().selectRow(3);  // g, the last of its group
    Run(CommandId::RemoveSelectedFile);
    EXPECT_EQ("-  -x -  s  s  ", RowMarks());

    Run(CommandId::RemoveDeletedFiles);
    EXPECT_EQ("cehi", Marks());
    EXPECT_EQ("-  -  s  s  ", RowMarks());
    EXPECT_EQ(4u, results().size());
    EXPECT_TRUE(prompts.shown.empty());
}

// Every other row of a long sorted list: the rows left keep their order and the header its mark.
TEST_F(FileCommandsTest, RemovingScatteredRowsOfALongList) {
    std::vector<CFileItem*> added;
    for (int i = 0; i < 20'000; ++i) {
        CFileItem item;
        item.path = "/" + std::to_string(100'000 + i);
        item.groupKey = std::to_string(i / 2);
        item.modified = 0;
        added.push_back(results().Add(std::move(item)));
    }
    rows().AppendRecords(added);
    list().sortByColumn(ResultsModel::NameColumn, Qt::DescendingOrder);
    Run(CommandId::SelectOldest);
    Run(CommandId::RemoveCheckedFiles);
    ASSERT_EQ(10'000, rows().rowCount());
    EXPECT_EQ(10'000u, results().size());
    for (int row = 0; row < rows().rowCount(); ++row) {
        ASSERT_EQ(row, rows().RecordAt(row)->rowIndex);
        ASSERT_EQ(std::to_string(119'998 - 2 * row), rows().RecordAt(row)->name());
        ASSERT_EQ(row % 2 == 1, rows().IsRowShaded(row));
    }
    EXPECT_EQ(ResultsModel::NameColumn, list().horizontalHeader()->sortIndicatorSection());
}

TEST_F(FileCommandsTest, DeleteCheckedFaceRecyclesAndClearResultsAsks) {
    AddGroup("1", {{"a", 1}, {"b", 1}});
    CheckRows({1});
    QToolButton* face = window.deleteCheckedButton();
    QTest::mouseClick(face, Qt::LeftButton, {}, QPoint(8, face->height() / 2));
    EXPECT_EQ(std::vector<std::string>{tree.Path("1/b")}, trash.trashed);
    EXPECT_TRUE(rows().IsRowStruck(1));
    EXPECT_TRUE(rows().IsChecked(1)) << "check marks stay";

    prompts.answers = {false};
    Run(CommandId::ClearResults);
    EXPECT_EQ(2, rows().rowCount());
    Run(CommandId::ClearResults);
    EXPECT_EQ(0, rows().rowCount());
    EXPECT_TRUE(results().empty());
    EXPECT_EQ(0u, results().GroupCount());
    ASSERT_EQ(2u, prompts.shown.size());
    EXPECT_EQ(QStringLiteral("Do you want to clear the search results?"), prompts.shown[0].text);
    EXPECT_EQ(QStringLiteral("Tessmark Duplicate Finder"), prompts.shown[0].caption);

    Run(CommandId::ClearResults);  // an empty list asks nothing
    EXPECT_EQ(2u, prompts.shown.size());
}

TEST_F(FileCommandsTest, ProtectedFoldersShapeTheRulesAndReplacedRowsShowAsLinked) {
    AddGroup("1", {{"a", 100}, {"b", 300}, {"c", 200}});
    AddGroup("2", {{"d", 50}, {"e", 70}});
    model.setProtectedFolders(ProtectedFolders({tree.Path("2")}));
    Run(CommandId::SelectOldest);
    EXPECT_EQ("AbCde", Marks()) << "a protected group has nothing checked";

    model.setProtectedFolders(ProtectedFolders({tree.Path("1/a"), tree.Path("2/e")}));
    Run(CommandId::SelectOldest);
    EXPECT_EQ("AbCDe", Marks()) << "protected entries are folders, not files";

    model.setProtectedFolders({});
    Run(CommandId::SelectOldest);  // b, the newest, is kept
    Run(CommandId::ReplaceWithHardLinks);
    ASSERT_EQ(1u, prompts.shown.size()) << "no journal here: asked whether to go on";
    EXPECT_EQ(QStringLiteral("yesno"), prompts.shown[0].kind);
    prompts.shown.clear();
    struct stat kept {
    }, replaced{};
    ASSERT_EQ(0, ::lstat(tree.Path("1/b").c_str(), &kept));
    ASSERT_EQ(0, ::lstat(tree.Path("1/a").c_str(), &replaced));
    EXPECT_EQ(kept.st_ino, replaced.st_ino);
    EXPECT_EQ(LinkKind::HardLink, rows().RowLink(0));
    EXPECT_EQ(std::nullopt, rows().RowLink(1));
    EXPECT_EQ(LinkKind::HardLink, rows().RowLink(3));

    // The replaced rows keep working: deleting them is not refused as changed.
    Run(CommandId::DeleteCheckedPermanently);
    EXPECT_TRUE(prompts.shown.empty()) << prompts.Texts().join("\n").toStdString();
    EXPECT_FALSE(tree.Exists("1/a"));
    EXPECT_TRUE(tree.Exists("1/b"));
}

TEST_F(FileCommandsTest, TheReplaceCommandsSitInTheDeleteCheckedMenu) {
    QStringList texts;
    for (const QAction* action : window.deleteCheckedButton()->menu()->actions()) {
        texts << action->text();
    }
    EXPECT_TRUE(texts.contains(QStringLiteral("Replace Checked Files with Hard Links")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Replace Checked Files with Clones")));
}

}  // namespace
}  // namespace krelix
