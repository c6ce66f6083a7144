#include "app/result_commands.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "app/krelix_dlg.h"
#include "app/krelix_dlg_model.h"
#include "app/mfc_list_ctrl_ex.h"
#include "common/ui/locale_time_text.h"
#include "operations/ui/help_file.h"
#include "preview/ui/picture_ctrl.h"
#include "preview/ui/preview_dlg.h"
#include "support/fake_launcher.h"
#include "support/fake_prompts.h"
#include "support/fake_rename_dialogs.h"
#include "support/listed_record.h"
#include "support/temp_tree.h"

namespace krelix {
namespace {

QString Text(const std::string& bytes) {
    return QString::fromStdString(bytes);
}

// The main window with its result commands over fakes, showing real files of a temp tree.
class ResultCommandsTest : public ::testing::Test {
  protected:
    ResultCommandsTest()
        : model(tree.Path("settings.dat")),
          window(model, prompts, CKrelixDlg::Dialogs{}),
          commands(
              window, model,
              {prompts, launcher, shellDialogs, renameDialogs, Text(tree.AddFolder("program"))}) {
        window.show();
        QApplication::processEvents();
    }

    // Lists a new file; rows of one size and content form one group.
    CFileItem* AddRow(const std::string& relative, const std::string& content = "same") {
        CFileItem item;
        item.path = tree.AddFile(relative, content);
        item.name = relative.substr(relative.rfind('/') + 1);
        item.size = content.size();
        item.crc = "00C0FFEE";
        item.groupKey = std::to_string(item.size) + item.crc;
        item.modified = 1700000000 + 86400 * static_cast<std::int64_t>(model.rows().rowCount());
        item.identity = test::IdentityOfPath(item.path);
        return Append(item);
    }

    CFileItem* AddPictureRow(const std::string& relative, int width, int height) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(QColor(200, 90, 30));
        CFileItem item;
        item.path = tree.AddFile(relative, "");
        EXPECT_TRUE(image.save(Text(item.path), "PNG"));
        item.name = relative.substr(relative.rfind('/') + 1);
        item.groupKey = "42PICTURE";
        return Append(item);
    }

    CFileItem* Append(const CFileItem& item) {
        CFileItem* stored = model.results().Add(item);
        model.rows().AppendRecord(stored);
        model.rows().RestripeGroups();
        return stored;
    }

    QString Cell(int row, int column) { return model.rows().index(row, column).data().toString(); }

    CMFCListCtrlEx& list() const { return *window.resultsList(); }

    void Choose(CommandId id) {
        QAction* action = list().popupAction(id);
        ASSERT_NE(action, nullptr);
        action->trigger();
    }

    void ClickRow(int row) {
        const QRect cell = list().visualRect(model.rows().index(row, ResultsModel::NameColumn));
        QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, cell.center());
    }

    test::TempTree tree;
    test::FakePrompts prompts;
    test::FakeLauncher launcher;
    test::FakeShellDialogs shellDialogs;
    test::FakeRenameDialogs renameDialogs;
    KrelixDlgModel model;
    CKrelixDlg window;
    ResultCommands commands;
};

TEST_F(ResultCommandsTest, RenameSelectedRenamesTheFileAndItsRow) {
    AddRow("a/first.txt");
    CFileItem* second = AddRow("a/second.txt");
    QSignalSpy changed(&model.rows(), &QAbstractItemModel::dataChanged);

    Choose(CommandId::RenameSelected);  // nothing selected
    EXPECT_TRUE(renameDialogs.askedFor.isEmpty());

    list().selectRow(1);
    renameDialogs.names = {QStringLiteral("-new, name.txt")};
    changed.clear();
    Choose(CommandId::RenameSelected);

    EXPECT_EQ(renameDialogs.askedFor, QStringList{"second.txt"});
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(second->name, "-new, name.txt");
    EXPECT_EQ(second->path, tree.Path("a/-new, name.txt"));
    EXPECT_FALSE(tree.Exists("a/second.txt"));
    EXPECT_EQ(tree.Read("a/-new, name.txt"), "same");
    EXPECT_EQ(Cell(1, ResultsModel::NameColumn), "-new, name.txt");
    EXPECT_EQ(Cell(1, ResultsModel::PathColumn), Text(second->path));
    EXPECT_EQ(Cell(0, ResultsModel::NameColumn), "first.txt");
    ASSERT_FALSE(changed.isEmpty());
    EXPECT_EQ(changed.first().at(0).toModelIndex().row(), 1);
}

TEST_F(ResultCommandsTest, RenameCheckedFollowsTheListsRowOrder) {
    AddRow("a.txt");
    CFileItem* b = AddRow("b.txt");
    CFileItem* c = AddRow("c.doc");
    CFileItem* d = AddRow("d.txt");
    d->deleted = 1;
    // Descending by name: d, c, b, a.
    list().sortByColumn(ResultsModel::NameColumn, Qt::DescendingOrder);
    ASSERT_EQ(Cell(0, ResultsModel::NameColumn), "d.txt");
    for (int row : {0, 1, 3}) {
        model.rows().SetChecked(row, true);
    }
    BulkRenameFields rule;
    rule.parameterIncluded = true;
    renameDialogs.rules = {rule};

    QAction* fromMenu = nullptr;
    for (QAction* action : window.deleteCheckedButton()->menu()->actions()) {
        if (action->text() == "Rename Checked Files to ...") {
            fromMenu = action;
        }
    }
    ASSERT_NE(fromMenu, nullptr);
    fromMenu->trigger();

    EXPECT_EQ(renameDialogs.bulkAsked, 1);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(c->name, "1.doc");
    EXPECT_EQ(tree.Read("1.doc"), "same");
    EXPECT_EQ(tree.Read("2.txt"), "same");
    EXPECT_EQ(b->name, "b.txt");
    EXPECT_TRUE(tree.Exists("d.txt"));  // deleted rows are skipped
    EXPECT_EQ(Cell(1, ResultsModel::NameColumn), "1.doc");
    EXPECT_EQ(Cell(3, ResultsModel::NameColumn), "2.txt");
    EXPECT_EQ(Cell(3, ResultsModel::PathColumn), Text(tree.Path("2.txt")));
    EXPECT_TRUE(model.rows().IsChecked(1));
    EXPECT_FALSE(model.rows().IsChecked(2));
}

TEST_F(ResultCommandsTest, ExportWritesTheListedFilesAsTheListShowsThem) {
    QTest::mouseClick(window.exportButton(), Qt::LeftButton);  // empty list
    EXPECT_TRUE(prompts.shown.empty());

    AddRow("x/one.txt", "12345");
    AddRow("y/two, \"quoted\".txt", "12345");
    AddRow("gone.txt", "12345")->deleted = 1;
    AddRow("z/three.txt", "abc");
    tree.AddFolder("out");
    prompts.paths = {Text(tree.Path("out/results"))};
    QTest::mouseClick(window.exportButton(), Qt::LeftButton);

    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, "save");
    EXPECT_EQ(prompts.shown[0].caption, "Save as a csv file");
    const std::string content = tree.Read("out/results.csv");
    ASSERT_TRUE(content.starts_with("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(content.substr(3)).split("\r\n");
    ASSERT_EQ(lines.size(), 4) << content;
    EXPECT_EQ(lines[3], "");
    const auto quoted = [](QString text) { return "\"" + text.replace("\"", "\"\"") + "\""; };
    const auto expected = [&](int row, const QString& name) {
        return Cell(row, ResultsModel::GroupColumn) + "," + name + "," +
               quoted(Cell(row, ResultsModel::PathColumn)) + "," +
               quoted(Cell(row, ResultsModel::TimeColumn));
    };
    EXPECT_EQ(lines[0], expected(0, "one.txt"));
    EXPECT_EQ(lines[1], expected(1, "\"two, \"\"quoted\"\".txt\""));
    EXPECT_EQ(lines[2], expected(3, "three.txt"));
    EXPECT_FALSE(Cell(0, ResultsModel::TimeColumn).isEmpty());
    EXPECT_EQ(Cell(0, ResultsModel::TimeColumn), LocaleTimeText(1700000000));
}

TEST_F(ResultCommandsTest, ShellCommandsHandTheSelectedPathToTheDesktop) {
    AddRow("first.txt");
    const std::string path = AddRow("with blanks/-dash  name.txt")->path;
    const QUrl url = QUrl::fromLocalFile(Text(path));

    for (const CommandId id : {CommandId::OpenSelectedFile, CommandId::OpenContainingFolder,
                               CommandId::FileProperties}) {
        Choose(id);  // nothing selected
    }
    EXPECT_TRUE(launcher.openedUrls.empty());
    EXPECT_TRUE(launcher.calls.empty());

    list().selectRow(1);
    Choose(CommandId::OpenSelectedFile);
    ASSERT_EQ(launcher.openedUrls.size(), 1u);
    EXPECT_EQ(launcher.openedUrls[0], url);
    EXPECT_EQ(launcher.openedUrls[0].toLocalFile().toStdString(), path);

    // No associated program and no portal: the chosen program gets the path as one argument.
    launcher.openUrlResult = false;
    shellDialogs.commands = {"viewer --new-window"};
    Choose(CommandId::OpenSelectedFile);
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].program, "viewer");
    EXPECT_EQ(launcher.started[0].arguments, (QStringList{"--new-window", Text(path)}));
    EXPECT_EQ(shellDialogs.chooserFiles, std::vector<QString>{"-dash  name.txt"});

    const struct {
        CommandId id;
        const char* method;
    } fileManager[] = {{CommandId::OpenContainingFolder, "ShowItems"},
                       {CommandId::FileProperties, "ShowItemProperties"}};
    for (const auto& expected : fileManager) {
        launcher.calls.clear();
        launcher.dbusAnswers = {true};
        Choose(expected.id);
        ASSERT_EQ(launcher.calls.size(), 1u) << expected.method;
        const DBusCall& call = launcher.calls[0];
        EXPECT_EQ(call.service, "org.freedesktop.FileManager1");
        EXPECT_EQ(call.method, expected.method);
        ASSERT_EQ(call.arguments.size(), 2);
        EXPECT_EQ(call.arguments[0].toStringList(), QStringList{url.toString(QUrl::FullyEncoded)});
        EXPECT_TRUE(shellDialogs.shownProperties.empty());
    }
}

TEST_F(ResultCommandsTest, DoubleClickOpensTheContainingFolder) {
    AddRow("a/first.txt");
    const std::string path = AddRow("b/second file.txt")->path;
    launcher.dbusAnswers = {false};  // no file manager on the bus: the folder opens

    const QRect cell = list().visualRect(model.rows().index(1, ResultsModel::PathColumn));
    QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, cell.center());  // the first half
    QTest::mouseDClick(list().viewport(), Qt::LeftButton, {}, cell.center());

    ASSERT_EQ(launcher.calls.size(), 1u);
    EXPECT_EQ(launcher.calls[0].method, "ShowItems");
    EXPECT_EQ(launcher.calls[0].arguments[0].toStringList(),
              QStringList{QUrl::fromLocalFile(Text(path)).toString(QUrl::FullyEncoded)});
    ASSERT_EQ(launcher.openedUrls.size(), 1u);
    EXPECT_EQ(launcher.openedUrls[0], QUrl::fromLocalFile(Text(tree.Path("b/"))));
}

TEST_F(ResultCommandsTest, HelpOpensTheGuideOrSaysWhereItLooked) {
    const QString folder = Text(tree.Path("program"));
    if (!FindHelpFile(folder).isEmpty()) {
        GTEST_SKIP() << "a user guide is installed on this machine";
    }
    window.aboutHelpButton()->click();  // the face of "About&&Help"
    EXPECT_TRUE(launcher.openedUrls.empty());
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].caption, "Krelix");
    EXPECT_TRUE(prompts.shown[0].text.startsWith("The help file was not found."));
    EXPECT_TRUE(prompts.shown[0].text.contains(folder + "/help/ProductDescription.html"));

    const std::string page = tree.AddFile("program/help/ProductDescription.html", "<p>guide</p>");
    window.RunCommand(CommandId::Help);
    ASSERT_EQ(launcher.openedUrls.size(), 1u);
    EXPECT_EQ(launcher.openedUrls[0], QUrl::fromLocalFile(Text(page)));
    EXPECT_EQ(prompts.shown.size(), 1u);

    launcher.openUrlResult = false;
    window.RunCommand(CommandId::Help);
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[1].text, "No program could show the help file " + Text(page) + ".");
}

// Waits until the preview has tried the file it was given last.
bool PreviewAnswer(QSignalSpy& shown) {
    if (shown.isEmpty()) {
        EXPECT_TRUE(shown.wait(10000)) << "the preview never answered";
    }
    return !shown.isEmpty() && shown.last().at(0).toBool();
}

TEST_F(ResultCommandsTest, PreviewFollowsTheSelectionByMouseAndKeyboard) {
    EXPECT_EQ(commands.preview(), nullptr);
    AddPictureRow("pictures/wide.png", 80, 40);
    AddPictureRow("pictures/copy of wide.png", 80, 40);
    AddRow("notes.txt");

    // The rows' arrival creates the preview, hidden, with nothing selected.
    CPreviewDlg* preview = commands.preview();
    ASSERT_NE(preview, nullptr);
    EXPECT_FALSE(preview->isVisible());
    EXPECT_EQ(preview->parentWidget(), &window);

    QSignalSpy shown(preview, &CPreviewDlg::FileShown);
    ClickRow(0);
    ASSERT_TRUE(PreviewAnswer(shown));
    EXPECT_TRUE(preview->isVisible());
    EXPECT_TRUE(preview->pictureCtrl()->isVisible());
    EXPECT_EQ(preview->pictureCtrl()->PictureSize(), QSize(80, 40));
    EXPECT_EQ(preview->path(), tree.Path("pictures/wide.png"));

    list().setFocus();
    shown.clear();
    QTest::keyClick(&list(), Qt::Key_Down);
    ASSERT_TRUE(PreviewAnswer(shown));
    EXPECT_EQ(preview->path(), tree.Path("pictures/copy of wide.png"));

    shown.clear();
    QTest::keyClick(&list(), Qt::Key_Down);
    EXPECT_FALSE(PreviewAnswer(shown));
    EXPECT_EQ(preview->path(), tree.Path("notes.txt"));
    EXPECT_TRUE(preview->isVisible());
    EXPECT_FALSE(preview->pictureCtrl()->isVisible());
    EXPECT_TRUE(preview->windowTitle().endsWith("notes.txt"));
}

TEST_F(ResultCommandsTest, PreviewHidesForASearchEscapeAndTheWindowClosing) {
    AddPictureRow("a.png", 20, 20);
    AddPictureRow("b.png", 20, 20);
    const auto showRow = [this](int row) {
        ClickRow(row);
        QSignalSpy shown(commands.preview(), &CPreviewDlg::FileShown);
        return PreviewAnswer(shown) && commands.preview()->isVisible();
    };

    ASSERT_TRUE(showRow(0));
    window.HidePreview();  // a search starts
    EXPECT_FALSE(commands.preview()->isVisible());

    ASSERT_TRUE(showRow(1));
    QTest::keyClick(commands.preview(), Qt::Key_Escape);
    EXPECT_FALSE(commands.preview()->isVisible());

    ASSERT_TRUE(showRow(0));
    window.close();
    EXPECT_FALSE(commands.preview()->isVisible());
}

TEST_F(ResultCommandsTest, PreviewHidesWhenTheResultsAreCleared) {
    AddPictureRow("a.png", 20, 20);
    ClickRow(0);
    QSignalSpy shown(commands.preview(), &CPreviewDlg::FileShown);
    ASSERT_TRUE(PreviewAnswer(shown));
    ASSERT_TRUE(commands.preview()->isVisible());
    model.rows().Clear();
    EXPECT_FALSE(commands.preview()->isVisible());
}

}  // namespace
}  // namespace krelix
