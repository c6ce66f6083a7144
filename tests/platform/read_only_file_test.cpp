#include "platform/read_only_file.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace krelix
