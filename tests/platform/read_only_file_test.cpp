#include "platform/read_only_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Asked about a page that is not in the cache, the answer must be no: a wrong yes made a cold
// search skip its read-ahead advice and take five times as long.
TEST(ReadOnlyFile, IsCachedSaysNoForAnEvictedPage) {
    test::TempTree tree;
    const std::string path = tree.AddFile("f", std::string(64 * 1024, 'e'));
    {
        const int fd = ::open(path.c_str(), O_RDONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(0, ::fdatasync(fd));
        ASSERT_EQ(0, ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED));
        ::close(fd);
    }
    auto file = ReadOnlyFile::Open(path);
    ASSERT_TRUE(file);
    file->AdviseWillNeed(0, 16 * 1024);  // as the first stage asks, just before it looks
    if (file->IsCached(0)) {
        GTEST_SKIP() << "this file system keeps the page despite the advice";
    }
    char buffer[16];
    EXPECT_EQ(16, file->Read(buffer, sizeof buffer));
    EXPECT_TRUE(file->IsCached(0)) << "read now";
}

}  // namespace
}  // namespace krelix
