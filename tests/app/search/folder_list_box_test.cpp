#include "app/search/folder_list_box.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include "app/search/folder_text.h"
#include "support/fake_prompts.h"
#include "support/temp_tree.h"

namespace krelix {
namespace {

class FolderListBoxTest : public ::testing::Test {
  protected:
    FolderListBoxTest() {
        tree.AddFolder("Photos/2023");
        tree.AddFile("Photos/a.jpg", "a");
        list.SetPrompts(&prompts);
        list.show();
        QApplication::processEvents();
    }

    QStringList Entries() const {
        QStringList entries;
        for (int i = 0; i < list.GetCount(); ++i) {
            entries << list.GetItemText(i);
        }
        return entries;
    }

    QString Q(const std::string& path) const { return QString::fromStdString(path); }

    test::TempTree tree;
    test::FakePrompts prompts;
    CFolderListBox list;
};

TEST_F(FolderListBoxTest, FolderTextsAreNormalisedAndMustNameAnExistingFolder) {
    const std::string photos = tree.Path("Photos/");
    const struct {
        std::string text;
        std::optional<std::string> folder;
    } cases[] = {
        {tree.Path("Photos"), photos},
        {tree.Path("Photos/"), photos},
        {tree.Path("Photos//2023/../"), photos},
        {tree.Path("Photos/./2023"), tree.Path("Photos/2023/")},
        {tree.Path("photos"), std::nullopt},  // case is kept, and this one does not exist
        {tree.Path("Photos/a.jpg"), std::nullopt},
        {tree.Path("Missing"), std::nullopt},
        {"Photos", std::nullopt},  // relative
        {"", std::nullopt},
        {"/", "/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NormaliseFolderText(Q(c.text)), c.folder) << c.text;
    }
}

TEST_F(FolderListBoxTest, TildeStandsForTheHomeFolder) {
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QByteArray::fromStdString(tree.Path("Photos")));
    EXPECT_EQ(NormaliseFolderText(QStringLiteral("~")), tree.Path("Photos/"));
    EXPECT_EQ(NormaliseFolderText(QStringLiteral("~/2023")), tree.Path("Photos/2023/"));
    EXPECT_EQ(NormaliseFolderText(QStringLiteral("~nobody")), std::nullopt);
    qputenv("HOME", home);
}

TEST_F(FolderListBoxTest, RefusedTextsKeepTheEntryAsItWas) {
    list.AddItem(Q(tree.Path("Photos")));
    for (const std::string& bad :
         {tree.Path("Photos/a.jpg"), tree.Path("Nowhere"), std::string("relative/path")}) {
        list.SetItemText(0, Q(bad));
    }
    EXPECT_EQ(Entries(), QStringList{Q(tree.Path("Photos"))});
    ASSERT_EQ(prompts.shown.size(), 3u);
    for (const auto& shown : prompts.shown) {
        EXPECT_EQ(shown.text, QStringLiteral("Invalid File Path."));
        EXPECT_EQ(shown.caption, QStringLiteral("Krelix"));
    }
    list.SetItemText(0, Q(tree.Path("Photos/2023/")));
    EXPECT_EQ(Entries(), QStringList{Q(tree.Path("Photos/2023/"))}) << "stored as typed";
}

// Typing in place goes through the same check; a refused new entry does not stay empty.
TEST_F(FolderListBoxTest, InPlaceEditsAreCheckedToo) {
    QTest::mouseClick(list.newButton(), Qt::LeftButton);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, Q(tree.Path("Nowhere")));
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(Entries(), QStringList());
    EXPECT_EQ(prompts.Texts(), QStringList{QStringLiteral("Invalid File Path.")});

    QTest::mouseClick(list.newButton(), Qt::LeftButton);
    editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, Q(tree.Path("Photos")));
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(Entries(), QStringList{Q(tree.Path("Photos"))});
}

TEST_F(FolderListBoxTest, BrowseAddsTheChosenFolderAndCancelChangesNothing) {
    list.AddItem(Q(tree.Path("Photos")));
    list.SelectItem(0);
    prompts.paths = {QString()};
    QTest::mouseClick(list.browseButton(), Qt::LeftButton);
    EXPECT_EQ(prompts.shown.back().caption, QStringLiteral("Select a folder"));
    EXPECT_EQ(Entries(), QStringList{Q(tree.Path("Photos"))});
    EXPECT_EQ(list.GetSelItem(), 0);

    prompts.paths = {Q(tree.Path("Photos/2023"))};
    QTest::mouseClick(list.browseButton(), Qt::LeftButton);
    EXPECT_EQ(Entries(), (QStringList{Q(tree.Path("Photos")), Q(tree.Path("Photos/2023"))}));
    EXPECT_EQ(list.GetSelItem(), 1);

    // A chooser that hands back something gone meanwhile is refused like a typed text.
    prompts.paths = {Q(tree.Path("Gone"))};
    QTest::mouseClick(list.browseButton(), Qt::LeftButton);
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(prompts.Texts().back(), QStringLiteral("Invalid File Path."));
}

TEST_F(FolderListBoxTest, ExistingFoldersSkipsEntriesThatVanished) {
    const std::string gone = tree.AddFolder("Gone");
    list.AddItem(Q(tree.Path("Photos")));
    list.AddItem(Q(gone));
    list.AddItem(Q(tree.Path("Photos/")));
    rmdir(gone.c_str());
    EXPECT_EQ(list.ExistingFolders(),
              (std::vector<std::string>{tree.Path("Photos/"), tree.Path("Photos/")}));
}

TEST_F(FolderListBoxTest, ProtectedEntriesGiveTheirFoldersAndFollowEditsAndRemovals) {
    list.EnableProtection();
    int changes = 0;
    QObject::connect(&list, &CFolderListBox::protectedFoldersChanged, &list, [&] { ++changes; });
    list.AddItem(Q(tree.Path("Photos")));
    list.AddItem(Q(tree.Path("Photos/2023")));
    list.AddItem(Q(tree.Path("Missing")));
    EXPECT_TRUE(list.ProtectedFolders().empty());

    QMenu* menu = list.EntryMenu(0);
    ASSERT_NE(nullptr, menu);
    ASSERT_EQ(1, menu->actions().size());
    EXPECT_FALSE(menu->actions().front()->isChecked());
    changes = 0;
    menu->actions().front()->trigger();
    list.SetProtected(2, true);  // a folder that does not exist protects nothing
    EXPECT_GT(changes, 0);
    EXPECT_TRUE(list.IsProtected(0));
    EXPECT_FALSE(list.listWidget()->item(0)->icon().isNull());
    EXPECT_TRUE(list.listWidget()->item(1)->icon().isNull());
    EXPECT_EQ(std::vector<std::string>{tree.Path("Photos/")}, list.ProtectedFolders());
    EXPECT_TRUE(list.EntryMenu(0)->actions().front()->isChecked());

    list.SetItemText(0, Q(tree.Path("Photos/2023/")));
    EXPECT_EQ(std::vector<std::string>{tree.Path("Photos/2023/")}, list.ProtectedFolders());
    changes = 0;
    list.RemoveItem(0);
    EXPECT_GT(changes, 0);
    EXPECT_TRUE(list.ProtectedFolders().empty());

    list.EntryMenu(0)->actions().front()->trigger();
    list.EntryMenu(0)->actions().front()->trigger();  // and off again
    EXPECT_FALSE(list.IsProtected(0));
}

TEST_F(FolderListBoxTest, ListsWithoutProtectionHaveNoEntryMenu) {
    list.AddItem(Q(tree.Path("Photos")));
    EXPECT_EQ(nullptr, list.EntryMenu(0));
}

}  // namespace
}  // namespace krelix
