#include "operations/ui/desktop/desktop_trash.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <QDir>
#include <QStorageInfo>
#include <cerrno>
#include <optional>

#include "operations/journal/command_undo.h"
#include "support/temp_tree.h"

namespace krelix {
namespace {

// Sets an environment variable for the life of the object.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = ::getenv(name)) {
            old_ = old;
        }
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

// Runs in another current folder for the life of the object.
class ScopedCurrentFolder {
  public:
    explicit ScopedCurrentFolder(const std::string& folder) {
        char* old = ::getcwd(nullptr, 0);
        old_ = old;
        ::free(old);
        EXPECT_EQ(0, ::chdir(folder.c_str()));
    }
    ~ScopedCurrentFolder() { EXPECT_EQ(0, ::chdir(old_.c_str())); }

  private:
    std::string old_;
};

// The trash lives in the test's own folder: home and data folder both point there. False when
// the file would go to a trash at the top of its file system instead.
bool HomeTrashTakes(const std::string& file) {
    return QStorageInfo(QString::fromStdString(file)) == QStorageInfo(QDir::home());
}

TEST(DesktopTrash, NameThatQtCannotSpellIsNotTrashed) {
    test::TempTree tree;
    // The decoded text would name "bad\uFFFD", another file that exists too.
    tree.AddFile("bad\xff", "keep me");
    tree.AddFile("bad\xef\xbf\xbd", "and me");
    DesktopTrash trash;
    EXPECT_EQ(EILSEQ, trash.MoveToTrash(tree.Path("bad\xff")));
    EXPECT_TRUE(tree.Exists("bad\xff"));
    EXPECT_TRUE(tree.Exists("bad\xef\xbf\xbd"));
}

TEST(DesktopTrash, MovesIntoTheHomeTrashMakingItsFolders) {
    test::TempTree tree;
    const std::string home = tree.AddFolder("home");
    ScopedEnv homeEnv("HOME", home);
    ScopedEnv dataEnv("XDG_DATA_HOME", home + "share");  // not there yet
    const std::string file = tree.AddFile("home/files/victim.txt", "bye");
    if (!HomeTrashTakes(file)) {
        GTEST_SKIP() << "the file would go to a trash outside the test folder";
    }
    DesktopTrash trash;
    ASSERT_EQ(0, trash.MoveToTrash(file));
    EXPECT_FALSE(tree.Exists("home/files/victim.txt"));
    EXPECT_EQ("bye", tree.Read("home/share/Trash/files/victim.txt"));
    EXPECT_TRUE(tree.Exists("home/share/Trash/info/victim.txt.trashinfo"));
    EXPECT_EQ(ENOENT, trash.MoveToTrash(file));
}

TEST(DesktopTrash, SaysWhereTheFileWentSoThatUndoCanTakeItBack) {
    test::TempTree tree;
    const std::string home = tree.AddFolder("home");
    ScopedEnv homeEnv("HOME", home);
    ScopedEnv dataEnv("XDG_DATA_HOME", home + "share");
    const std::string file = tree.AddFile("home/files/odd name", "back");
    if (!HomeTrashTakes(file)) {
        GTEST_SKIP() << "the file would go to a trash outside the test folder";
    }
    DesktopTrash trash;
    std::string inTrash;
    ASSERT_EQ(0, trash.MoveToTrash(file, &inTrash));
    EXPECT_EQ(tree.Path("home/share/Trash/files/odd name"), inTrash);
    EXPECT_EQ(tree.Path("home/share/Trash/files/"), trash.FoldersFor(file).at(0));
    ASSERT_TRUE(tree.Exists("home/share/Trash/info/odd name.trashinfo"));

    tree.AddFile("home/files/odd name", "in the way");
    EXPECT_EQ(EEXIST, ReturnFromTrash(inTrash, file));
    EXPECT_TRUE(tree.Exists("home/share/Trash/info/odd name.trashinfo"));
    ASSERT_EQ(0, ::unlink(file.c_str()));
    ASSERT_EQ(0, ReturnFromTrash(inTrash, file));
    EXPECT_EQ("back", tree.Read("home/files/odd name"));
    EXPECT_FALSE(tree.Exists("home/share/Trash/files/odd name"));
    EXPECT_FALSE(tree.Exists("home/share/Trash/info/odd name.trashinfo"));
}

// Where no trash folder can be made, Qt 6.4 drops the file into the current folder and calls
// that success; the file must come back and the command fail.
TEST(DesktopTrash, NoTrashFolderLeavesTheFileInPlace) {
    test::TempTree tree;
    const std::string home = tree.AddFolder("home");
    tree.AddFile("plain", "a file, not a folder");
    ScopedEnv homeEnv("HOME", home);
    ScopedEnv dataEnv("XDG_DATA_HOME", tree.Path("plain/share"));
    const std::string file = tree.AddFile("home/victim.txt", "stay");
    if (!HomeTrashTakes(file)) {
        GTEST_SKIP() << "the file would go to a trash outside the test folder";
    }
    ScopedCurrentFolder current(tree.AddFolder("cwd"));
    DesktopTrash trash;
    const int error = trash.MoveToTrash(file);
    EXPECT_NE(0, error);
    EXPECT_EQ("stay", tree.Read("home/victim.txt"));
    EXPECT_FALSE(tree.Exists("cwd/files"));
    EXPECT_FALSE(tree.Exists("cwd/info"));
}

}  // namespace
}  // namespace krelix
