#include "app/commands/desktop_commands.h"

#include <QToolButton>
#include <QUrl>

#include "app/results/result_rows_fixture.h"

namespace krelix::test {
namespace {

using DesktopCommandsTest = ResultRowsFixture;

TEST_F(DesktopCommandsTest, ShellCommandsHandTheSelectedPathToTheDesktop) {
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

TEST_F(DesktopCommandsTest, DoubleClickOpensTheContainingFolder) {
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

TEST_F(DesktopCommandsTest, HelpOpensTheGuideOrSaysWhereItLooked) {
    const QString folder = Text(tree.Path("program"));
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

}  // namespace
}  // namespace krelix::test
