#include "operations/ui/help_file.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include "support/fake_launcher.h"
#include "support/temp_tree.h"

namespace krelix {
namespace {

using test::FakeLauncher;
using test::TempTree;

TEST(HelpFile, FoundBesideTheProgramFirstThenInTheInstalledShareFolder) {
    TempTree tree;
    const QString bin = QString::fromStdString(tree.AddFolder("prefix/bin"));
    EXPECT_EQ(FindHelpFile(bin), "");

    const std::string installed =
        tree.AddFile("prefix/share/krelix/help/ProductDescription.html", "<html/>");
    EXPECT_EQ(FindHelpFile(bin).toStdString(), installed);

    const std::string beside = tree.AddFile("prefix/bin/help/ProductDescription.html", "<html/>");
    EXPECT_EQ(FindHelpFile(bin).toStdString(), beside);

    FakeLauncher launcher;
    EXPECT_TRUE(OpenHelp(launcher, bin));
    ASSERT_EQ(launcher.openedUrls.size(), 1u);
    EXPECT_EQ(launcher.openedUrls[0], QUrl::fromLocalFile(QString::fromStdString(beside)));
}

TEST(HelpFile, MissingHelpOpensNothing) {
    TempTree tree;
    FakeLauncher launcher;
    EXPECT_FALSE(OpenHelp(launcher, QString::fromStdString(tree.AddFolder("empty"))));
    EXPECT_TRUE(launcher.openedUrls.empty());
}

TEST(HelpFile, ProgramFolderIsTheRunningExecutables) {
    EXPECT_TRUE(QFileInfo(ProgramFolder()).isDir());
    EXPECT_TRUE(QFileInfo(ProgramFolder() + "/krelix_operations_ui_tests").isFile());
}

}  // namespace
}  // namespace krelix
