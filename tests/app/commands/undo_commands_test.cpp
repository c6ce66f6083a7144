#include "app/commands/undo_commands.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QMenu>
#include <QPushButton>
#include <QToolButton>

#include "app/commands/file_commands.h"
#include "app/commands/rename_and_export_commands.h"
#include "app/results/mfc_list_ctrl_ex.h"
#include "app/results/results_model.h"
#include "app/state/krelix_dlg_model.h"
#include "app/window/krelix_dlg.h"
#include "operations/files/file_operations.h"
#include "operations/journal/command_journal.h"
#include "operations/journal/journal_recorder.h"
#include "storage/sqlite_database.h"
#include "support/fake_progress.h"
#include "support/fake_prompts.h"
#include "support/fake_rename_dialogs.h"
#include "support/folder_trash.h"
#include "support/listed_record.h"
#include "support/temp_tree.h"

namespace krelix {
namespace {

std::unique_ptr<CommandJournal> OpenJournal(const std::string& path) {
    std::string notice;
    auto journal = CommandJournal::Open(path, std::time(nullptr), notice);
    EXPECT_TRUE(journal) << notice;
    return journal;
}

// The window with its file commands and undo, over real files, with a journal in the tree.
class UndoCommandsTest : public ::testing::Test {
  protected:
    UndoCommandsTest()
        : model(tree.Path("settings.dat")),
          window(model, prompts, CKrelixDlg::Dialogs{}),
          trash(tree.AddFolder("trash") + "/"),
          journal(OpenJournal(tree.Path("state/journal.sqlite"))),
          commands(model, *window.resultsList(), prompts, trash, progress),
          renames(model, *window.resultsList(), *window.exportButton(), prompts, renameDialogs),
          undo(model, prompts, trash, journal.get(), {}) {
        commands.SetJournal(journal.get());
        renames.SetJournal(journal.get());
    }

    void AddGroup(const std::string& key, std::initializer_list<const char*> names) {
        for (const char* name : names) {
            const std::string relative = key + "/" + name;
            tree.AddFile(relative, "content of " + key);
            rows().AppendRecord(results().Add(test::ListedRecord(tree.Path(relative), key)));
        }
        rows().RestripeGroups();
    }
    ResultSet& results() { return model.results(); }
    ResultsModel& rows() { return model.rows(); }
    std::uint64_t Inode(const std::string& relative) {
        struct stat status {};
        EXPECT_EQ(0, ::lstat(tree.Path(relative).c_str(), &status));
        return status.st_ino;
    }
    QString LastText() const {
        return prompts.shown.empty() ? QString() : prompts.shown.back().text;
    }

    test::TempTree tree;
    test::FakePrompts prompts;
    test::FakeProgress progress;
    KrelixDlgModel model;
    CKrelixDlg window;
    test::FolderTrash trash;
    std::unique_ptr<CommandJournal> journal;
    FileCommands commands;
    test::FakeRenameDialogs renameDialogs;
    RenameAndExportCommands renames;
    UndoCommands undo;
};

TEST_F(UndoCommandsTest, RecycledFilesComeBackAndTheirRowsStandAgain) {
    AddGroup("1", {"a", "b", "c"});
    rows().SetChecked(1, true);
    rows().SetChecked(2, true);
    window.RunCommand(CommandId::RecycleChecked);
    ASSERT_FALSE(tree.Exists("1/b"));
    ASSERT_TRUE(rows().IsRowStruck(1));

    window.RunCommand(CommandId::UndoLastCommand);
    ASSERT_GE(prompts.shown.size(), 2u);
    EXPECT_TRUE(prompts.shown[0].text.startsWith("Undo moving files to the trash"))
        << prompts.shown[0].text.toStdString();
    EXPECT_EQ(QStringLiteral("Files restored: 2, files left: 0"), LastText());
    EXPECT_EQ("content of 1", tree.Read("1/b"));
    EXPECT_EQ("content of 1", tree.Read("1/c"));
    EXPECT_FALSE(rows().IsRowStruck(1));
    EXPECT_FALSE(rows().IsRowStruck(2));
    EXPECT_EQ(0, CheckListedFile(*rows().RecordAt(1)));

    prompts.shown.clear();
    window.RunCommand(CommandId::UndoLastCommand);
    EXPECT_EQ(QStringLiteral("There is no command to undo."), LastText());
}

TEST_F(UndoCommandsTest, UndoneHardLinksLoseTheirMarkAndEveryRecordStillWorks) {
    AddGroup("1", {"a", "b", "c"});
    rows().SetChecked(1, true);
    rows().SetChecked(2, true);
    window.RunCommand(CommandId::ReplaceWithHardLinks);
    ASSERT_EQ(Inode("1/a"), Inode("1/c"));
    ASSERT_EQ(LinkKind::HardLink, rows().RowLink(2));

    prompts.shown.clear();
    window.RunCommand(CommandId::UndoLastCommand);
    EXPECT_EQ(QStringLiteral("Files restored: 2, files left: 0"), LastText());
    EXPECT_NE(Inode("1/a"), Inode("1/b"));
    EXPECT_NE(Inode("1/b"), Inode("1/c"));
    EXPECT_EQ(std::nullopt, rows().RowLink(2));
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(0, CheckListedFile(*rows().RecordAt(row))) << row;
    }
}

TEST_F(UndoCommandsTest, AFileInTheWayIsNamedAndItsRowStaysStruck) {
    AddGroup("1", {"a", "b"});
    rows().SetChecked(1, true);
    prompts.paths = {QString::fromStdString(tree.AddFolder("to"))};
    window.RunCommand(CommandId::MoveChecked);
    ASSERT_TRUE(tree.Exists("to/b"));
    tree.AddFile("1/b", "a newcomer");

    prompts.shown.clear();
    window.RunCommand(CommandId::UndoLastCommand);
    EXPECT_EQ(QStringLiteral("Files restored: 0, files left: 1\n") +
                  QString::fromStdString(tree.Path("to/b")) +
                  QStringLiteral(": its path is taken now: ") +
                  QString::fromStdString(tree.Path("1/b")) +
                  QStringLiteral("\n1 of the files left stay in the command journal: Undo Last "
                                 "Command tries them again once the reason is gone."),
              LastText());
    EXPECT_EQ("a newcomer", tree.Read("1/b"));
    EXPECT_TRUE(rows().IsRowStruck(1));
}

TEST_F(UndoCommandsTest, ACommandStoppedHalfWayIsOfferedOnceAtStart) {
    AddGroup("1", {"a", "b"});
    const std::string to = tree.AddFolder("to") + "/";
    for (const bool answer : {false, true}) {
        // What a killed program leaves: one file moved, the command never finished.
        auto killed = OpenJournal(tree.Path("state/journal.sqlite"));
        const std::int64_t command = *killed->BeginCommand(CommandKind::Move, std::time(nullptr));
        JournalEntry moving;
        moving.original = tree.Path("1/b");
        moving.current = to + "b";
        const std::int64_t entry = *killed->AddEntry(command, moving);
        ASSERT_EQ(0, MoveListedFile(*rows().RecordAt(1), to + "b"));
        struct stat moved {};
        ASSERT_EQ(0, ::lstat((to + "b").c_str(), &moved));
        ASSERT_TRUE(killed->CompleteEntry(command, entry, to + "b", StateOf(moved)));
        killed.reset();

        prompts.shown.clear();
        prompts.answers = {answer};
        undo.CheckAtStart();
        ASSERT_FALSE(prompts.shown.empty());
        EXPECT_TRUE(prompts.shown[0].text.startsWith("Krelix was stopped while moving files"))
            << prompts.shown[0].text.toStdString();
        EXPECT_TRUE(prompts.shown[0].text.contains("1 of its files had been done"));
        if (!answer) {
            prompts.shown.clear();
            undo.CheckAtStart();
            EXPECT_TRUE(prompts.shown.empty()) << "asked once only";
            window.RunCommand(CommandId::UndoLastCommand);  // still the newest to undo
        }
        EXPECT_TRUE(tree.Exists("1/b"));
        EXPECT_FALSE(tree.Exists("to/b"));
    }
}

// Another program's command that is still running is neither offered at start nor undone.
TEST_F(UndoCommandsTest, ACommandRunningElsewhereIsLeftToFinish) {
    AddGroup("1", {"a", "b"});
    auto elsewhere = OpenJournal(tree.Path("state/journal.sqlite"));
    JournalRecorder running(elsewhere.get(), CommandKind::HardLink, std::time(nullptr));
    ASSERT_NE(0, running.Before(EntryAction::Replaced, tree.Path("1/b"), tree.Path("1/b")));

    undo.CheckAtStart();
    EXPECT_TRUE(prompts.shown.empty()) << LastText().toStdString();
    window.RunCommand(CommandId::UndoLastCommand);
    ASSERT_EQ(1u, prompts.shown.size());
    EXPECT_TRUE(LastText().contains(QStringLiteral("is still running")))
        << LastText().toStdString();
    EXPECT_TRUE(elsewhere->Newest()) << "its record stays";
}

TEST_F(UndoCommandsTest, RenamedFilesAndTheirRowsTakeTheirOldNamesBack) {
    AddGroup("1", {"a", "b", "c"});
    rows().SetChecked(0, true);
    rows().SetChecked(2, true);
    BulkRenameFields rule;
    rule.prefixIncluded = true;
    rule.prefix = "new-";
    rule.fileNameIncluded = true;
    renameDialogs.rules = {rule};
    window.RunCommand(CommandId::RenameChecked);
    ASSERT_TRUE(tree.Exists("1/new-a"));
    ASSERT_EQ("new-c", rows().RecordAt(2)->name());

    window.RunCommand(CommandId::UndoLastCommand);
    EXPECT_EQ(QStringLiteral("Files restored: 2, files left: 0"), LastText());
    EXPECT_TRUE(tree.Exists("1/a") && tree.Exists("1/c"));
    EXPECT_FALSE(tree.Exists("1/new-a") || tree.Exists("1/new-c"));
    EXPECT_EQ("a", rows().RecordAt(0)->name());
    EXPECT_EQ(tree.Path("1/c"), rows().RecordAt(2)->path);
    EXPECT_EQ(0, CheckListedFile(*rows().RecordAt(2)));
}

TEST_F(UndoCommandsTest, ACopyThatReplacedAFileIsUndoneFromTheTrash) {
    AddGroup("1", {"a", "b"});
    tree.AddFile("to/a", "the file the copy replaced");
    rows().SetChecked(0, true);
    prompts.paths = {QString::fromStdString(tree.Path("to"))};
    prompts.answers = {true};  // replace it
    window.RunCommand(CommandId::CopyChecked);
    ASSERT_EQ("content of 1", tree.Read("to/a"));
    ASSERT_EQ(1u, trash.trashed.size());

    window.RunCommand(CommandId::UndoLastCommand);
    EXPECT_EQ(QStringLiteral("Files restored: 1, files left: 0"), LastText());
    EXPECT_EQ("the file the copy replaced", tree.Read("to/a"));
    EXPECT_EQ("content of 1", tree.Read("1/a"));
    EXPECT_EQ(2u, trash.trashed.size());  // the copy went to the trash
}

TEST_F(UndoCommandsTest, AJournalThatCannotBeWrittenIsToldOnceAndTheCommandStillRuns) {
    AddGroup("1", {"a", "b", "c"});
    {
        int result = 0;
        std::string error;
        auto other = SqliteDatabase::Open(tree.Path("state/journal.sqlite"), SQLITE_OPEN_READWRITE,
                                          result, error);
        ASSERT_TRUE(other) << error;
        ASSERT_EQ(SQLITE_OK, other->Execute("DROP TABLE entries"));
    }
    rows().SetChecked(1, true);
    rows().SetChecked(2, true);
    window.RunCommand(CommandId::RecycleChecked);
    EXPECT_EQ(2u, trash.trashed.size());
    ASSERT_EQ(1u, prompts.shown.size());
    EXPECT_EQ(QStringLiteral("The command journal could not be written, so this command cannot "
                             "be undone."),
              LastText());
}

TEST_F(UndoCommandsTest, WithoutAJournalTheNoticeIsShownAndNothingCanBeUndone) {
    UndoCommands none(model, prompts, trash, nullptr, "The command journal cannot be used.");
    none.CheckAtStart();
    EXPECT_EQ(QStringLiteral("The command journal cannot be used."), LastText());
    none.UndoLast();
    EXPECT_EQ(QStringLiteral("No command journal is kept, so nothing can be undone."), LastText());
}

TEST_F(UndoCommandsTest, TheCommandSitsInBothMenusWithCtrlZ) {
    const auto find = [](const QList<QAction*>& actions) -> QAction* {
        for (QAction* action : actions) {
            if (action->text() == QStringLiteral("Undo Last Command")) {
                return action;
            }
        }
        return nullptr;
    };
    QAction* fromButton = find(window.deleteCheckedButton()->menu()->actions());
    ASSERT_NE(nullptr, fromButton);
    EXPECT_EQ(QKeySequence(QKeySequence::Undo), fromButton->shortcut());
    ASSERT_NE(nullptr, window.resultsList()->popupAction(CommandId::UndoLastCommand));
    fromButton->trigger();
    EXPECT_EQ(QStringLiteral("There is no command to undo."), LastText());
}

}  // namespace
}  // namespace krelix
