#include "platform/stable_inodes.h"

#include <gtest/gtest.h>

#include "support/temp_tree.h"

namespace krelix::test {
namespace {

TEST(StableInodes, OrdinaryFileSystemsKeepThemVirtualOrUnknownOnesDoNot) {
    TempTree tree;
    // The temporary folder lies on ext4, tmpfs or overlay wherever the tests run.
    EXPECT_TRUE(HasStableInodes(tree.AddFile("file", "x")));
    EXPECT_FALSE(HasStableInodes("/proc/self/status"));
    EXPECT_FALSE(HasStableInodes(tree.Path("missing")));
}

}  // namespace
}  // namespace krelix::test
