#include "settings/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <optional>
#include <set>
#include <string>

#include "catalogue/file_type_catalogue.h"
#include "settings/settings_codec.h"
#include "support/temp_tree.h"

namespace krelix {
namespace {

using namespace std::string_literals;
using test::TempTree;

FileTypeCatalogue Defaults() {
    FileTypeCatalogue catalogue;
    catalogue.RestoreDefaultCatalogue();
    return catalogue;
}

std::set<std::string> Entries(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

unsigned Mode(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(0, stat(path.c_str(), &info)) << path;
    return info.st_mode & 07777;
}

TEST(SettingsFile, UnreadableOrOddFilesLoadAsAnEmptyCatalogue) {
    TempTree tree;
    tree.AddFile("empty.dat", "");
    tree.AddSymlink("dangling.dat", tree.Path("nowhere"));
    tree.AddFolder("folder.dat");
    tree.AddFifo("fifo.dat");  // opening it for reading must not wait for a writer
    tree.AddFile("broken.dat",
                 "\x91\x92\xA5"
                 "AB");
    tree.AddSizedFile("huge.dat", kMaxSettingsSize + 1, '\x90');
    const struct {
        const char* name;
        SettingsLoad expected;
    } cases[] = {
        {"missing.dat", SettingsLoad::Absent},  {"empty.dat", SettingsLoad::Absent},
        {"dangling.dat", SettingsLoad::Absent}, {"folder.dat", SettingsLoad::Unreadable},
        {"fifo.dat", SettingsLoad::Unreadable}, {"broken.dat", SettingsLoad::Unreadable},
        {"huge.dat", SettingsLoad::Unreadable},
    };
    for (const auto& c : cases) {
        FileTypeCatalogue catalogue = Defaults();
        EXPECT_EQ(c.expected, LoadSettings(tree.Path(c.name), catalogue)) << c.name;
        EXPECT_TRUE(catalogue.IsEmpty()) << c.name;
    }
}

TEST(SettingsFile, SettingAsideKeepsTheBytesAndNeverReplacesAFile) {
    TempTree tree;
    const std::string path = tree.Path("settings.dat");
    const std::string broken = "\x91\x92\xA5"s + "AB";
    // 2026-12-09 01:30:00 local time
    std::tm when{};
    when.tm_year = 126;
    when.tm_mon = 11;
    when.tm_mday = 9;
    when.tm_hour = 1;
    when.tm_min = 30;
    when.tm_isdst = -1;
    const std::time_t now = std::mktime(&when);
    const std::string first = "settings.dat.unreadable-20261209-013000";
    tree.AddFile(first, "older");
    tree.AddFile(first + "-2", "older still");

    tree.AddFile("settings.dat", broken);
    EXPECT_EQ(std::optional(tree.Path(first + "-3")), SetAsideSettings(path, now));
    EXPECT_EQ(broken, tree.Read(first + "-3"));
    EXPECT_EQ("older", tree.Read(first));
    EXPECT_EQ("older still", tree.Read(first + "-2"));
    EXPECT_FALSE(tree.Exists("settings.dat"));

    EXPECT_EQ(std::nullopt, SetAsideSettings(path, now)) << "nothing left to set aside";
    if (!test::RunningAsRoot()) {
        const std::string locked = tree.AddFile("locked/settings.dat", broken);
        tree.SetMode("locked", 0555);
        EXPECT_EQ(std::nullopt, SetAsideSettings(locked, now));
        tree.SetMode("locked", 0755);
        EXPECT_EQ(broken, tree.Read("locked/settings.dat"));
        EXPECT_EQ(1u, Entries(tree.Path("locked")).size());
    }
}

TEST(SettingsFile, SavedDefaultsLoadBackAndLeaveNothingElseBehind) {
    TempTree tree;
    const std::string path = tree.Path("settings.dat");
    FileTypeCatalogue defaults = Defaults();
    defaults.Categories().front().Types().front().SetChecked(true);

    ASSERT_TRUE(SaveSettings(path, defaults));
    EXPECT_EQ(5717u, tree.Read("settings.dat").size());
    EXPECT_EQ(std::set<std::string>{"settings.dat"}, Entries(tree.root()));

    FileTypeCatalogue loaded;
    ASSERT_EQ(SettingsLoad::Loaded, LoadSettings(path, loaded));
    EXPECT_EQ(PackSettings(defaults), PackSettings(loaded));
    EXPECT_TRUE(loaded.PatternText().empty());  // marks are not kept

    ASSERT_TRUE(SaveSettings(path, FileTypeCatalogue{}));
    EXPECT_EQ("\x90", tree.Read("settings.dat"));
    EXPECT_EQ(SettingsLoad::Loaded, LoadSettings(path, loaded));
    EXPECT_TRUE(loaded.IsEmpty());
}

TEST(SettingsFile, ReplacingKeepsTheFilesModeAndSkipsStaleTemporaries) {
    TempTree tree;
    const std::string path = tree.AddFile("settings.dat", "old");
    tree.SetMode("settings.dat", 0640);
    tree.AddFile("settings.dat." + std::to_string(getpid()) + "-0.tmp", "stale");

    ASSERT_TRUE(SaveSettings(path, Defaults()));
    EXPECT_EQ(0640u, Mode(path));
    EXPECT_EQ(5717u, tree.Read("settings.dat").size());
    EXPECT_EQ(2u, Entries(tree.root()).size());
}

TEST(SettingsFile, ReadOnlyFileIsLeftUntouched) {
    TempTree tree;
    const std::string path = tree.AddFile("settings.dat", "\x90");
    tree.SetMode("settings.dat", 0444);
    EXPECT_FALSE(SaveSettings(path, Defaults()));
    EXPECT_EQ("\x90", tree.Read("settings.dat"));
    EXPECT_EQ(1u, Entries(tree.root()).size());
}

TEST(SettingsFile, ReadOnlyFolderIsLeftUntouched) {
    if (test::RunningAsRoot()) {
        GTEST_SKIP() << "root writes into read-only folders";
    }
    TempTree tree;
    const std::string path = tree.AddFile("locked/settings.dat", "\x90");
    tree.SetMode("locked", 0555);
    EXPECT_FALSE(SaveSettings(path, Defaults()));
    EXPECT_EQ("\x90", tree.Read("locked/settings.dat"));
    tree.SetMode("locked", 0755);
    EXPECT_EQ(1u, Entries(tree.Path("locked")).size());
}

TEST(SettingsFile, FolderInTheWayFailsWithoutLeftovers) {
    TempTree tree;
    tree.AddFolder("settings.dat");
    EXPECT_FALSE(SaveSettings(tree.Path("settings.dat"), Defaults()));
    EXPECT_EQ(std::set<std::string>{"settings.dat"}, Entries(tree.root()));
    EXPECT_FALSE(SaveSettings("", Defaults()));
}

TEST(SettingsFile, MissingConfigFolderIsCreatedPrivate) {
    TempTree tree;
    const std::string path = tree.Path("config/krelix/settings.dat");
    ASSERT_TRUE(SaveSettings(path, Defaults()));
    EXPECT_EQ(0700u, Mode(tree.Path("config/krelix")));
    EXPECT_EQ(5717u, tree.Read("config/krelix/settings.dat").size());
}

TEST(SettingsFile, SymbolicLinkKeepsPointingAtItsTarget) {
    TempTree tree;
    tree.AddFile("dotfiles/krelix.dat", "\x90");
    const std::string link = tree.AddSymlink("settings.dat", tree.Path("dotfiles/krelix.dat"));
    ASSERT_TRUE(SaveSettings(link, Defaults()));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(5717u, tree.Read("dotfiles/krelix.dat").size());
}

}  // namespace
}  // namespace krelix
