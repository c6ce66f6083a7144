#include "operations/ui/desktop/help_file.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include "support/fake_launcher.h"
#include "support/temp_tree.h"

namespace krelix {
namespace {

using test::FakeLauncher;
using test::TempTree;

QString Text(const std::string& path) {
    return QString::fromStdString(path);
}

// Each place found once a guide is there, and ahead of the places already holding one.
TEST(HelpFile, FoundBesideTheProgramFirstThenInTheShareFolderThenInTheDataFolders) {
    TempTree tree;
    const HelpFolders folders{Text(tree.AddFolder("prefix/bin")),
                              {Text(tree.AddFolder("data/one")), Text(tree.AddFolder("data/two"))}};
    EXPECT_EQ(FindHelpFile(folders), "");
    for (const char* place : {"data/two/krelix/help", "data/one/krelix/help",
                              "prefix/share/krelix/help", "prefix/bin/help"}) {
        const std::string page =
            tree.AddFile(std::string(place) + "/ProductDescription.html", "<html/>");
        EXPECT_EQ(FindHelpFile(folders).toStdString(), page) << place;
    }

    FakeLauncher launcher;
    EXPECT_TRUE(OpenHelp(launcher, folders));
    ASSERT_EQ(launcher.openedUrls.size(), 1u);
    EXPECT_EQ(launcher.openedUrls[0],
              QUrl::fromLocalFile(Text(tree.Path("prefix/bin/help/ProductDescription.html"))));
}

TEST(HelpFile, MissingHelpOpensNothing) {
    TempTree tree;
    FakeLauncher launcher;
    EXPECT_FALSE(OpenHelp(launcher, {Text(tree.AddFolder("empty")), {Text(tree.Path("empty"))}}));
    EXPECT_TRUE(launcher.openedUrls.empty());
}

TEST(HelpFile, ProgramFolderIsTheRunningExecutables) {
    EXPECT_TRUE(QFileInfo(ProgramFolder()).isDir());
    EXPECT_TRUE(QFileInfo(ProgramFolder() + "/krelix_operations_ui_tests").isFile());
    EXPECT_EQ(InstalledHelpFolders().program, ProgramFolder());
}

}  // namespace
}  // namespace krelix
