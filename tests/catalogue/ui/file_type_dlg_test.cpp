#include "catalogue/ui/file_type_dlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "catalogue/ui/category_dlg.h"
#include "catalogue/ui/muti_tree_ctrl.h"
#include "support/fake_prompts.h"

namespace krelix {
namespace {

class FileTypeDlgTest : public ::testing::Test {
  protected:
    CFileTypeDlg::Editors FakeEditors() {
        CFileTypeDlg::Editors editors;
        editors.category = [this](QWidget*, const std::u16string& name) {
            editorOpenedWith.push_back(QString::fromStdU16String(name));
            return categoryAnswer;
        };
        editors.fileType = [this](QWidget*, const FileTypeTexts& texts) {
            editorOpenedWith.push_back(
                QString::fromStdU16String(texts.pattern + u"|" + texts.description));
            return typeAnswer;
        };
        return editors;
    }

    // A chooser on the given catalogue, shown so that clicks reach it.
    std::unique_ptr<CFileTypeDlg> Open(FileTypeCatalogue catalogue = {}) {
        auto dialog = std::make_unique<CFileTypeDlg>(std::move(catalogue), prompts, FakeEditors());
        dialog->show();
        QApplication::processEvents();
        return dialog;
    }

    static QTreeWidgetItem* Item(CFileTypeDlg& dialog, int category, int type = -1) {
        QTreeWidgetItem* item = dialog.tree()->topLevelItem(category);
        return type < 0 ? item : item->child(type);
    }

    static bool Checked(QTreeWidgetItem* item) { return item->checkState(0) == Qt::Checked; }

    static void ClickBox(CMutiTreeCtrl* tree, QTreeWidgetItem* item) {
        tree->scrollToItem(item);
        QApplication::processEvents();
        const QRect box = tree->CheckBoxRect(item);
        ASSERT_TRUE(box.isValid());
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, box.center());
    }

    test::FakePrompts prompts;
    std::vector<QString> editorOpenedWith;
    std::optional<std::u16string> categoryAnswer;
    std::optional<FileTypeTexts> typeAnswer;
};

TEST_F(FileTypeDlgTest, EmptyCatalogueOpensAsTheDefaultTableExpandedAndUnchecked) {
    auto dialog = Open();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Chose File Type"));
    CMutiTreeCtrl* tree = dialog->tree();
    ASSERT_EQ(tree->topLevelItemCount(), 11);
    int types = 0;
    for (int c = 0; c < 11; ++c) {
        QTreeWidgetItem* category = tree->topLevelItem(c);
        EXPECT_TRUE(category->isExpanded());
        EXPECT_FALSE(Checked(category));
        for (int t = 0; t < category->childCount(); ++t, ++types) {
            EXPECT_FALSE(Checked(category->child(t)));
        }
    }
    EXPECT_EQ(types, 156);
    EXPECT_EQ(tree->SelectedItem(), tree->topLevelItem(0));
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("Any Files"));
    EXPECT_EQ(tree->topLevelItem(1)->child(0)->text(0), QStringLiteral("(*.TXT)Plain Text File"));
}

// Clicking a box and pressing Space both invert once and spread the mark down and up.
TEST_F(FileTypeDlgTest, BoxClicksAndSpaceSpreadMarksThroughTheTree) {
    auto dialog = Open();
    CMutiTreeCtrl* tree = dialog->tree();
    QTreeWidgetItem* text = Item(*dialog, 1);
    ClickBox(tree, text);
    EXPECT_TRUE(Checked(text));
    for (int t = 0; t < text->childCount(); ++t) {
        EXPECT_TRUE(Checked(text->child(t)));
    }
    EXPECT_EQ(tree->SelectedItem(), text) << "a press selects the item";

    QTreeWidgetItem* rtf = text->child(1);
    tree->SelectItem(rtf);
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Space);
    EXPECT_FALSE(Checked(rtf));
    EXPECT_FALSE(Checked(text)) << "one unmarked type unmarks its category";
    EXPECT_TRUE(Checked(text->child(0)));
    ClickBox(tree, rtf);
    EXPECT_TRUE(Checked(rtf));
    EXPECT_TRUE(Checked(text)) << "all types marked again marks the category";

    // A click beside the box selects without marking.
    QTreeWidgetItem* log = text->child(2);
    const QRect row = tree->visualItemRect(log);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      QPoint(row.right() - 5, row.center().y()));
    EXPECT_EQ(tree->SelectedItem(), log);
    EXPECT_TRUE(Checked(log));

    tree->SelectItem(nullptr);
    QTest::keyClick(tree, Qt::Key_Space);
    EXPECT_TRUE(Checked(text)) << "Space without a selection does nothing";

    // The entries hold what the boxes show.
    const CFileCategory& entry = *std::next(dialog->catalogue().Categories().begin());
    EXPECT_TRUE(entry.IsChecked());
    EXPECT_EQ(dialog->catalogue().PatternText(), u"*.TXT;*.RTF;*.LOG;");
}

TEST_F(FileTypeDlgTest, AddsCategoriesAndTypesWhereTheSelectionSays) {
    FileTypeCatalogue start;
    start.AddCategory(u"Mine").AddType(u"*.A", u"a");
    start.AddCategory(u"Yours");
    auto dialog = Open(std::move(start));
    CMutiTreeCtrl* tree = dialog->tree();

    categoryAnswer.reset();
    dialog->AddCategory();
    EXPECT_EQ(tree->topLevelItemCount(), 2) << "Cancel adds nothing";
    categoryAnswer = u"New";
    dialog->AddCategory();
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    EXPECT_EQ(tree->SelectedItem(), Item(*dialog, 2));
    EXPECT_EQ(Item(*dialog, 2)->text(0), QStringLiteral("New"));

    // With a type selected the new type goes to the end of that type's category.
    tree->SelectItem(Item(*dialog, 0, 0));
    typeAnswer = FileTypeTexts{u"*.B", u""};
    dialog->AddFileType();
    QTreeWidgetItem* mine = Item(*dialog, 0);
    ASSERT_EQ(mine->childCount(), 2);
    EXPECT_EQ(mine->child(1)->text(0), QStringLiteral("(*.B)"));
    EXPECT_FALSE(Checked(mine->child(1)));
    EXPECT_EQ(tree->SelectedItem(), mine->child(1));

    tree->SelectItem(Item(*dialog, 1));
    typeAnswer = FileTypeTexts{u"*.C", u"see"};
    dialog->AddFileType();
    EXPECT_EQ(Item(*dialog, 1)->child(0)->text(0), QStringLiteral("(*.C)see"));

    tree->SelectItem(nullptr);
    editorOpenedWith.clear();
    dialog->AddFileType();
    EXPECT_TRUE(editorOpenedWith.empty()) << "no selection, no editor";

    const std::vector<std::u16string> expected{u"Mine", u"Yours", u"New"};
    std::vector<std::u16string> names;
    for (const CFileCategory& c : dialog->catalogue().Categories()) {
        names.push_back(c.GetName());
    }
    EXPECT_EQ(names, expected);
}

TEST_F(FileTypeDlgTest, EditRenamesAndRetypesWithoutTouchingMarks) {
    FileTypeCatalogue start;
    CFileCategory& mine = start.AddCategory(u"Mine");
    mine.AddType(u"*.A", u"a").SetChecked(true);
    mine.SetChecked(true);
    auto dialog = Open(std::move(start));
    CMutiTreeCtrl* tree = dialog->tree();

    categoryAnswer = u"Ours";
    dialog->EditSelected();
    EXPECT_EQ(editorOpenedWith.back(), QStringLiteral("Mine"));
    EXPECT_EQ(Item(*dialog, 0)->text(0), QStringLiteral("Ours"));

    tree->SelectItem(Item(*dialog, 0, 0));
    typeAnswer = FileTypeTexts{u"*.Z", u"zed"};
    dialog->EditSelected();
    EXPECT_EQ(editorOpenedWith.back(), QStringLiteral("*.A|a"));
    EXPECT_EQ(Item(*dialog, 0, 0)->text(0), QStringLiteral("(*.Z)zed"));

    typeAnswer.reset();
    dialog->EditSelected();
    EXPECT_EQ(Item(*dialog, 0, 0)->text(0), QStringLiteral("(*.Z)zed")) << "Cancel keeps it";

    const CFileCategory& entry = dialog->catalogue().Categories().front();
    EXPECT_EQ(entry.GetName(), u"Ours");
    EXPECT_EQ(entry.Types().front().GetPattern(), u"*.Z");
    EXPECT_TRUE(entry.IsChecked());
    EXPECT_TRUE(entry.Types().front().IsChecked());
    EXPECT_TRUE(Checked(Item(*dialog, 0, 0)));
}

// A label wider than the tree is shown whole: the tree scrolls sideways and the tooltip holds
// the label, also after an edit shortens it.
TEST_F(FileTypeDlgTest, LongLabelsScrollSidewaysAndShowWholeInTooltips) {
    FileTypeCatalogue start;
    start.AddCategory(u"Mine").AddType(u"*.A", u"a");
    auto dialog = Open(std::move(start));
    CMutiTreeCtrl* tree = dialog->tree();
    EXPECT_EQ(tree->horizontalScrollBar()->maximum(), 0) << "short labels fit";
    EXPECT_EQ(Item(*dialog, 0)->toolTip(0), QStringLiteral("Mine"));

    tree->SelectItem(Item(*dialog, 0));
    std::u16string longText;
    for (int i = 0; i < 12; ++i) {
        longText += u"Project archive exported by the old backup tool ";
    }
    typeAnswer = FileTypeTexts{u"*.BAK", longText};
    dialog->AddFileType();
    QApplication::processEvents();
    QTreeWidgetItem* added = Item(*dialog, 0, 1);
    const QString label = QStringLiteral("(*.BAK)") + QString::fromStdU16String(longText);
    EXPECT_EQ(added->toolTip(0), label);
    EXPECT_GE(tree->header()->sectionSize(0), tree->fontMetrics().horizontalAdvance(label))
        << "the column holds the whole label";
    EXPECT_GT(tree->horizontalScrollBar()->maximum(), 0);
    EXPECT_TRUE(tree->horizontalScrollBar()->isVisible());

    typeAnswer = FileTypeTexts{u"*.BAK", u"backup"};
    dialog->EditSelected();
    QApplication::processEvents();
    EXPECT_EQ(added->toolTip(0), QStringLiteral("(*.BAK)backup"));
    EXPECT_EQ(tree->horizontalScrollBar()->maximum(), 0);
}

// After deletions among added entries every item still names its own entry.
TEST_F(FileTypeDlgTest, DeleteAsksThenLeavesEveryOtherItemBoundToItsEntry) {
    auto dialog = Open();
    CMutiTreeCtrl* tree = dialog->tree();
    categoryAnswer = u"Added";
    dialog->AddCategory();
    typeAnswer = FileTypeTexts{u"*.NEW", u"new"};
    dialog->AddFileType();

    tree->SelectItem(Item(*dialog, 1, 0));
    prompts.answers = {false};
    dialog->DeleteSelected();
    EXPECT_EQ(prompts.shown.back().caption, QStringLiteral("Delete"));
    EXPECT_EQ(prompts.shown.back().text,
              QStringLiteral("Do you want to delete this file type - (*.TXT)Plain Text File?"));
    EXPECT_EQ(Item(*dialog, 1)->childCount(), 3) << "Cancel keeps it";

    prompts.answers = {true};
    dialog->DeleteSelected();
    EXPECT_EQ(Item(*dialog, 1)->childCount(), 2);

    tree->SelectItem(Item(*dialog, 2));
    prompts.answers = {true};
    dialog->DeleteSelected();
    EXPECT_EQ(prompts.shown.back().text,
              QStringLiteral("Do you want to delete this category - Document Files?"));
    ASSERT_EQ(tree->topLevelItemCount(), 11);

    // Marks set now land on the entries shown.
    ClickBox(tree, Item(*dialog, 10));    // "Added" with its one type
    ClickBox(tree, Item(*dialog, 1, 1));  // "*.LOG"
    ClickBox(tree, Item(*dialog, 2, 0));  // "MS Office Files" "*.MDB"
    EXPECT_EQ(dialog->catalogue().PatternText(), u"*.LOG;*.MDB;*.NEW;");
    EXPECT_EQ(dialog->catalogue().CategoryCount(), 11u);
}

TEST_F(FileTypeDlgTest, RestoreDefaultsDropsOwnEntriesAndMarks) {
    FileTypeCatalogue start;
    start.AddCategory(u"Mine").AddType(u"*.A", u"").SetChecked(true);
    auto dialog = Open(std::move(start));
    ASSERT_EQ(dialog->tree()->topLevelItemCount(), 1);
    dialog->RestoreDefaults();
    EXPECT_EQ(dialog->tree()->topLevelItemCount(), 11);
    EXPECT_EQ(dialog->catalogue().CategoryCount(), 11u);
    EXPECT_TRUE(dialog->catalogue().PatternText().empty());
    EXPECT_EQ(dialog->tree()->SelectedItem(), Item(*dialog, 0));
}

TEST_F(FileTypeDlgTest, RightClickSelectsTheItemAndOffersTheCommands) {
    auto dialog = Open();
    CMutiTreeCtrl* tree = dialog->tree();
    QStringList entries;
    for (QAction* action : dialog->contextMenu()->actions()) {
        entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    EXPECT_EQ(entries, (QStringList{"Add Category", "Add File Type", "-", "Edit", "Delete", "-",
                                    "Restore Defaults"}));

    QTreeWidgetItem* target = Item(*dialog, 2, 1);
    const QPoint at = tree->visualItemRect(target).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, tree->viewport()->mapToGlobal(at));
    QApplication::sendEvent(tree->viewport(), &event);
    EXPECT_EQ(tree->SelectedItem(), target);
    EXPECT_TRUE(dialog->contextMenu()->isVisible());

    // The menu's "Delete" acts on the new selection.
    prompts.answers = {true};
    for (QAction* action : dialog->contextMenu()->actions()) {
        if (action->text() == QStringLiteral("Delete")) {
            action->trigger();
        }
    }
    dialog->contextMenu()->hide();
    EXPECT_EQ(Item(*dialog, 2)->childCount(), 8);
}

// Run works on a copy: Cancel hands nothing back; OK hands back marks and edits.
TEST_F(FileTypeDlgTest, RunHandsBackTheEditedCopyOnlyOnOk) {
    FileTypeCatalogue original;
    original.AddCategory(u"Mine").AddType(u"*.A", u"");
    for (const bool ok : {false, true}) {
        QTimer::singleShot(0, [ok] {
            auto* dialog = qobject_cast<CFileTypeDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->RestoreDefaults();
            dialog->tree()->ToggleMark(dialog->tree()->topLevelItem(0));
            ok ? dialog->accept() : dialog->reject();
        });
        const std::optional<FileTypeCatalogue> result =
            CFileTypeDlg::Run(nullptr, original, prompts);
        ASSERT_EQ(result.has_value(), ok);
        if (ok) {
            EXPECT_EQ(result->CategoryCount(), 11u);
            EXPECT_EQ(result->PatternText(), u"*.*;");
        }
        EXPECT_EQ(original.CategoryCount(), 1u);
    }
}

TEST_F(FileTypeDlgTest, EditorsRefuseEmptyTextsAndNormaliseThePattern) {
    CCategoryDlg category(u"", prompts);
    category.show();
    category.accept();
    EXPECT_TRUE(category.isVisible());
    EXPECT_EQ(prompts.Texts().back(), QStringLiteral("Please Input the category name."));
    EXPECT_EQ(prompts.shown.back().caption, QStringLiteral("Krelix"));
    category.nameEdit()->setText(QStringLiteral("Pictures"));
    category.accept();
    EXPECT_EQ(category.result(), QDialog::Accepted);
    EXPECT_EQ(category.name(), u"Pictures");

    CAddFileType type({}, prompts);
    type.show();
    type.accept();
    EXPECT_TRUE(type.isVisible());
    EXPECT_EQ(prompts.Texts().back(), QStringLiteral("Please Input the file type."));
    type.patternEdit()->setText(QStringLiteral(".jpg"));
    type.accept();
    EXPECT_EQ(type.result(), QDialog::Accepted);
    EXPECT_EQ(type.patternEdit()->text(), QStringLiteral("*.jpg")) << "shown as stored";
    EXPECT_EQ(type.texts().pattern, u"*.jpg");
    EXPECT_TRUE(type.texts().description.empty());
}

}  // namespace
}  // namespace krelix
