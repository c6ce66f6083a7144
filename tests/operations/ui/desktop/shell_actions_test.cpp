#include "operations/ui/desktop/shell_actions.h"

#include <gtest/gtest.h>

#include <QDBusUnixFileDescriptor>

#include "support/fake_launcher.h"
#include "support/fake_prompts.h"
#include "support/temp_tree.h"

namespace krelix {
namespace {

using test::FakeLauncher;
using test::FakePrompts;
using test::FakeShellDialogs;
using test::TempTree;

class ShellActionsTest : public ::testing::Test {
  protected:
    FakeLauncher launcher;
    FakeShellDialogs dialogs;
    FakePrompts prompts;
    ShellActions actions{launcher, dialogs, prompts};
    TempTree tree;
};

// Names that break command lines built as strings.
const char* const kOddNames[] = {
    "plain.txt",  "with blanks  here.txt",        "comma,separated,name.jpg", "quote\"d 'too'.png",
    "-rf --help", "semi;colon $(echo x) `y`.txt", "back\\slash.txt",          "new\nline.txt",
};

TEST_F(ShellActionsTest, OpenUsesTheAssociatedProgramFirst) {
    const std::string path = tree.AddFile("a b,c.txt", "x");
    actions.OpenFile(path);
    ASSERT_EQ(launcher.openedUrls.size(), 1u);
    EXPECT_EQ(launcher.openedUrls[0], QUrl::fromLocalFile(QString::fromStdString(path)));
    EXPECT_TRUE(launcher.openedUrls[0].isLocalFile());
    EXPECT_EQ(launcher.openedUrls[0].toLocalFile().toStdString(), path);
    EXPECT_TRUE(launcher.calls.empty());
    EXPECT_TRUE(launcher.started.empty());
}

TEST_F(ShellActionsTest, WithoutAssociationThePortalIsAskedToLetTheUserChoose) {
    const std::string path = tree.AddFile("data.unknownext", "x");
    launcher.openUrlResult = false;
    launcher.dbusAnswers = {true};
    actions.OpenFile(path);

    ASSERT_EQ(launcher.calls.size(), 1u);
    const DBusCall& call = launcher.calls[0];
    EXPECT_EQ(call.service, "org.freedesktop.portal.Desktop");
    EXPECT_EQ(call.path, "/org/freedesktop/portal/desktop");
    EXPECT_EQ(call.interface, "org.freedesktop.portal.OpenURI");
    EXPECT_EQ(call.method, "OpenFile");
    ASSERT_EQ(call.arguments.size(), 3);
    EXPECT_EQ(call.arguments[0].toString(), "");
    EXPECT_TRUE(call.arguments[1].value<QDBusUnixFileDescriptor>().isValid());
    EXPECT_EQ(call.arguments[2].toMap().value("ask"), QVariant(true));
    EXPECT_TRUE(dialogs.chooserFiles.empty());
    EXPECT_TRUE(launcher.started.empty());
}

TEST_F(ShellActionsTest, OwnChooserPassesTheWholePathAsOneArgument) {
    for (const char* name : kOddNames) {
        FakeLauncher launcher;
        FakeShellDialogs dialogs;
        ShellActions actions(launcher, dialogs, prompts);
        const std::string path = tree.AddFile(name, "x");
        launcher.openUrlResult = false;  // no association, and no portal answers
        dialogs.commands = {"my-viewer --new-window"};

        actions.OpenFile(path);

        ASSERT_EQ(dialogs.chooserFiles.size(), 1u) << name;
        EXPECT_EQ(dialogs.chooserFiles[0].toStdString(), name);
        ASSERT_EQ(launcher.started.size(), 1u) << name;
        EXPECT_EQ(launcher.started[0].program, "my-viewer");
        ASSERT_EQ(launcher.started[0].arguments.size(), 2) << name;
        EXPECT_EQ(launcher.started[0].arguments[0], "--new-window");
        EXPECT_EQ(launcher.started[0].arguments[1].toStdString(), path) << name;
    }
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(ShellActionsTest, ChooserCancelledOrFailingProgram) {
    const std::string path = tree.AddFile("x.bin", "x");
    launcher.openUrlResult = false;

    actions.OpenFile(path);  // chooser cancelled
    EXPECT_TRUE(launcher.started.empty());
    EXPECT_TRUE(prompts.shown.empty());

    dialogs.commands = {"\"/opt/my tools/view\" -a"};
    launcher.startResult = false;
    actions.OpenFile(path);
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0].program, "/opt/my tools/view");
    EXPECT_EQ(launcher.started[0].arguments, (QStringList{"-a", QString::fromStdString(path)}));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_TRUE(prompts.shown[0].text.contains("Could not start"));
}

TEST_F(ShellActionsTest, MissingFileGoesStraightToTheChooser) {
    launcher.openUrlResult = false;
    actions.OpenFile(tree.Path("gone.txt"));
    EXPECT_TRUE(launcher.calls.empty());
    EXPECT_EQ(dialogs.chooserFiles.size(), 1u);
}

TEST_F(ShellActionsTest, NameThatIsNotTextIsNotHandedOverMangled) {
    const std::string path = tree.AddFile("caf\xE9.txt", "x");
    launcher.openUrlResult = false;
    dialogs.commands = {"viewer"};
    actions.OpenFile(path);
    // The URL keeps the bytes.
    ASSERT_EQ(launcher.openedUrls.size(), 1u);
    EXPECT_TRUE(launcher.openedUrls[0].toEncoded().endsWith("caf%E9.txt"));
    EXPECT_TRUE(launcher.started.empty());
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, "inform");
}

TEST_F(ShellActionsTest, ShowInFolderAsksTheFileManagerThenOpensTheFolder) {
    const std::string path = tree.AddFile("sub/a, b.txt", "x");
    launcher.dbusAnswers = {true, false};

    actions.ShowInFolder(path);
    ASSERT_EQ(launcher.calls.size(), 1u);
    const DBusCall& call = launcher.calls[0];
    EXPECT_EQ(call.service, "org.freedesktop.FileManager1");
    EXPECT_EQ(call.path, "/org/freedesktop/FileManager1");
    EXPECT_EQ(call.interface, "org.freedesktop.FileManager1");
    EXPECT_EQ(call.method, "ShowItems");
    ASSERT_EQ(call.arguments.size(), 2);
    const QStringList uris = call.arguments[0].toStringList();
    ASSERT_EQ(uris.size(), 1);
    EXPECT_EQ(QUrl(uris[0]).toLocalFile().toStdString(), path);
    EXPECT_EQ(call.arguments[1].toString(), "");
    EXPECT_TRUE(launcher.openedUrls.empty());

    actions.ShowInFolder(path);  // no file manager on the bus
    ASSERT_EQ(launcher.openedUrls.size(), 1u);
    EXPECT_EQ(launcher.openedUrls[0].toLocalFile().toStdString(), tree.Path("sub/"));
}

TEST_F(ShellActionsTest, PropertiesFallBackToTheOwnWindow) {
    const std::string path = tree.AddFile("p q.txt", "12345");
    launcher.dbusAnswers = {true};
    actions.ShowProperties(path);
    ASSERT_EQ(launcher.calls.size(), 1u);
    EXPECT_EQ(launcher.calls[0].method, "ShowItemProperties");
    EXPECT_TRUE(dialogs.shownProperties.empty());

    actions.ShowProperties(path);
    ASSERT_EQ(dialogs.shownProperties.size(), 1u);
    EXPECT_EQ(dialogs.shownProperties[0].name, "p q.txt");
    EXPECT_EQ(dialogs.shownProperties[0].size, 5u);

    actions.ShowProperties(tree.Path("gone"));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_TRUE(prompts.shown[0].text.contains("No such file"));
}

TEST_F(ShellActionsTest, LateRepliesAfterTheActionsAreGoneAreIgnored) {
    const std::string path = tree.AddFile("a.txt", "x");
    launcher.deferReplies = true;
    {
        ShellActions shortLived(launcher, dialogs, prompts);
        shortLived.ShowInFolder(path);
        shortLived.ShowProperties(path);
    }
    launcher.ReplyNext();
    launcher.ReplyNext();
    EXPECT_TRUE(launcher.openedUrls.empty());
    EXPECT_TRUE(dialogs.shownProperties.empty());
}

TEST_F(ShellActionsTest, NoPathDoesNothing) {
    actions.OpenFile("");
    actions.ShowInFolder("");
    actions.ShowProperties("");
    EXPECT_TRUE(launcher.openedUrls.empty());
    EXPECT_TRUE(launcher.calls.empty());
}

}  // namespace
}  // namespace krelix
