#include "settings/preferences_file.h"

#include <gtest/gtest.h>

#include "support/temp_tree.h"

namespace krelix::test {
namespace {

TEST(PreferencesFile, KeepsTheChoiceAndWhatANewerVersionWrote) {
    TempTree tree;
    const std::string path = PreferencesPath(tree.Path("config/settings.dat"));
    EXPECT_EQ(tree.Path("config/preferences.conf"), path);
    EXPECT_TRUE(LoadPreferences(path).rememberFileHashes);  // missing: the default

    Preferences off;
    off.rememberFileHashes = false;
    ASSERT_TRUE(SavePreferences(path, off));
    EXPECT_FALSE(LoadPreferences(path).rememberFileHashes);

    tree.AddFile("config/preferences.conf", "future-option=7\nremember-file-hashes=false\n");
    Preferences read = LoadPreferences(path);
    EXPECT_FALSE(read.rememberFileHashes);
    read.rememberFileHashes = true;
    ASSERT_TRUE(SavePreferences(path, read));
    EXPECT_EQ("remember-file-hashes=true\nfuture-option=7\n", tree.Read("config/preferences.conf"));

    // Values it does not understand, and files that are not text files, give the defaults.
    tree.AddFile("config/preferences.conf", "remember-file-hashes=perhaps\n");
    EXPECT_TRUE(LoadPreferences(path).rememberFileHashes);
    const std::string fifo = tree.AddFifo("fifo.conf");
    EXPECT_TRUE(LoadPreferences(fifo).rememberFileHashes);
    EXPECT_TRUE(LoadPreferences("").rememberFileHashes);
    EXPECT_FALSE(SavePreferences("", read));
}

}  // namespace
}  // namespace krelix::test
