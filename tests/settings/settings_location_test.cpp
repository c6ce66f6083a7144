#include "settings/settings_location.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <set>
#include <string>

#include "support/temp_tree.h"

namespace krelix {
namespace {

TEST(SettingsLocation, BesideTheProgramOnlyWhereAProgramMayKeepIt) {
    const struct {
        const char* label;
        SettingsPlaces places;
        std::set<std::string> writable;
        std::string expected;
    } cases[] = {
        {"writable program folder",
         {"/home/u/krelix", "/x/config", "/home/u"},
         {"/home/u/krelix"},
         "/home/u/krelix/settings.dat"},
        {"trailing slash kept once",
         {"/srv/krelix/", "", "/home/u"},
         {"/srv/krelix/"},
         "/srv/krelix/settings.dat"},
        {"a system folder, even writable by root",
         {"/usr/bin", "/x/config", "/root"},
         {"/usr/bin"},
         "/x/config/krelix/settings.dat"},
        {"/opt is a system folder too",
         {"/opt/krelix", "", "/home/u"},
         {"/opt/krelix"},
         "/home/u/.config/krelix/settings.dat"},
        {"a portable marker beside the program",
         {"/opt/krelix", "", "/home/u"},
         {"/opt/krelix", "/opt/krelix/krelix.portable"},
         "/opt/krelix/settings.dat"},
        {"a portable marker in a read-only folder",
         {"/opt/krelix", "", "/home/u"},
         {"/opt/krelix/krelix.portable"},
         "/home/u/.config/krelix/settings.dat"},
        {"read-only program folder",
         {"/usr/bin", "/x/config", "/home/u"},
         {},
         "/x/config/krelix/settings.dat"},
        {"no XDG_CONFIG_HOME",
         {"/usr/bin", "", "/home/u"},
         {},
         "/home/u/.config/krelix/settings.dat"},
        {"relative XDG_CONFIG_HOME is ignored",
         {"/usr/bin", "cfg", "/home/u/"},
         {},
         "/home/u/.config/krelix/settings.dat"},
        {"no home either", {"/usr/bin", "", ""}, {}, "/usr/bin/settings.dat"},
        {"relative home is ignored", {"/usr/bin", "", "u"}, {}, "/usr/bin/settings.dat"},
        {"program folder unknown", {"", "", "/home/u"}, {}, "/home/u/.config/krelix/settings.dat"},
        {"nothing known", {"", "", ""}, {}, ""},
    };
    for (const auto& c : cases) {
        std::set<std::string> probed;
        const auto there = [&](const std::string& path) { return c.writable.count(path) > 0; };
        const std::string path = ChooseSettingsPath(c.places, {[&](const std::string& folder) {
                                                                   probed.insert(folder);
                                                                   return there(folder);
                                                               },
                                                               there});
        EXPECT_EQ(c.expected, path) << c.label;
        EXPECT_LE(probed.size(), 1u) << c.label;  // only the program's folder is probed
    }
}

TEST(SettingsLocation, ProgramFolderIsTheRunningExecutablesFolder) {
    char self[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
    const std::string exe = self;
    EXPECT_EQ(exe.substr(0, exe.rfind('/')), CurrentSettingsPlaces().programFolder);
}

TEST(SettingsLocation, SettingsBesideTheProgramAreAdoptedOnceAndNeverOverwritten) {
    test::TempTree tree;
    const std::string beside = tree.AddFile("bin/settings.dat", "old catalogue");
    const std::string chosen = tree.Path("config/krelix/settings.dat");

    EXPECT_TRUE(AdoptSettings(beside, chosen));
    EXPECT_EQ("old catalogue", tree.Read("config/krelix/settings.dat"));
    tree.AddFile("bin/settings.dat", "newer beside");
    EXPECT_FALSE(AdoptSettings(beside, chosen));  // the user's own file stays
    EXPECT_EQ("old catalogue", tree.Read("config/krelix/settings.dat"));
    EXPECT_FALSE(AdoptSettings(tree.Path("bin/none.dat"), tree.Path("config/other.dat")));
}

}  // namespace
}  // namespace krelix
