#include "platform/read_only_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/temp_tree.h"

namespace krelix {
namespace {

TEST(ReadOnlyFile, ReadsARegularFileToItsEnd) {
    test::TempTree tree;
    auto file = ReadOnlyFile::Open(tree.AddFile("f", "hello"));
    ASSERT_TRUE(file);
    char buffer[16];
    EXPECT_EQ(5, file->Read(buffer, sizeof buffer));
    EXPECT_EQ(0, file->Read(buffer, sizeof buffer));
}

TEST(ReadOnlyFile, RefusesEverythingButARegularFile) {
    test::TempTree tree;
    const std::string target = tree.AddFile("f", "x");
    // The FIFO has no writer: a blocking open would hang here.
    for (const std::string& path :
         {tree.AddFifo("pipe"), tree.AddFolder("dir"), tree.AddSymlink("link", target),
          tree.Path("missing"), std::string("/dev/null")}) {
        EXPECT_FALSE(ReadOnlyFile::Open(path)) << path;
    }
}

// Opened without asking its kind, a FIFO or folder may be opened, but never passes for the file
// the walk saw, and a read of it never waits.
TEST(ReadOnlyFile, AnUncheckedOpenIsCaughtByTheIdentityCheck) {
    test::TempTree tree;
    const std::string plain = tree.AddFile("f", "x");
    struct stat status {};
    ASSERT_EQ(0, ::lstat(plain.c_str(), &status));
    const FileIdentity identity = IdentityOf(status);
    for (const std::string& path : {tree.AddFifo("pipe"), tree.AddFolder("dir")}) {
        int error = 0;
        auto file = ReadOnlyFile::OpenUnchecked(path, error);
        if (file) {
            char buffer[4];
            EXPECT_LE(file->Read(buffer, sizeof buffer), 0) << path;
            EXPECT_FALSE(file->IsSameVersion(1, identity)) << path;
        }
    }
    int error = 0;
    auto file = ReadOnlyFile::OpenUnchecked(plain, error);
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->IsSameVersion(1, identity));
    EXPECT_TRUE(file->IsCached(0)) << "just written";
}

}  // namespace
}  // namespace krelix
