#include "operations/files/file_properties.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "support/temp_tree.h"

namespace krelix {
namespace {

using test::TempTree;

TEST(ReadFileProperties, RegularFileWithOddName) {
    TempTree tree;
    const std::string name = "a, \"b\" -c\xE9.txt";
    const std::string path = tree.AddFile("sub/" + name, "12345");
    tree.SetMode("sub/" + name, 0640);
    tree.SetModifiedTime("sub/" + name, 1'000'000'000);

    int error = -1;
    const auto props = ReadFileProperties(path, error);
    ASSERT_TRUE(props.has_value());
    EXPECT_EQ(error, 0);
    EXPECT_EQ(props->name, name);
    EXPECT_EQ(props->folder, tree.Path("sub/"));
    EXPECT_EQ(props->kind, "regular file");
    EXPECT_EQ(props->size, 5u);
    EXPECT_EQ(props->modified, 1'000'000'000);
    EXPECT_EQ(props->mode, 0640u);
    EXPECT_FALSE(props->owner.empty());
}

TEST(ReadFileProperties, LinkIsNotFollowedAndMissingFileGivesErrno) {
    TempTree tree;
    const std::string link = tree.AddSymlink("link", tree.Path("nowhere"));
    int error = 0;
    const auto props = ReadFileProperties(link, error);
    ASSERT_TRUE(props.has_value());
    EXPECT_EQ(props->kind, "symbolic link");

    EXPECT_FALSE(ReadFileProperties(tree.Path("nowhere"), error).has_value());
    EXPECT_EQ(error, ENOENT);
}

TEST(PermissionText, AllBits) {
    EXPECT_EQ(PermissionText(0644), "rw-r--r--");
    EXPECT_EQ(PermissionText(0750), "rwxr-x---");
    EXPECT_EQ(PermissionText(04755), "rwsr-xr-x");
    EXPECT_EQ(PermissionText(02644), "rw-r-Sr--");
    EXPECT_EQ(PermissionText(01777), "rwxrwxrwt");
    EXPECT_EQ(PermissionText(01776), "rwxrwxrwT");
    EXPECT_EQ(PermissionText(0), "---------");
}

}  // namespace
}  // namespace krelix
