#include "settings/settings_location.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <set>
#include <string>

namespace krelix {
namespace {

TEST(SettingsLocation, BesideTheProgramUnlessItsFolderIsReadOnly) {
    const struct {
        const char* label;
        SettingsPlaces places;
        std::set<std::string> writable;
        std::string expected;
    } cases[] = {
        {"writable program folder",
         {"/opt/krelix", "/x/config", "/home/u"},
         {"/opt/krelix"},
         "/opt/krelix/settings.dat"},
        {"trailing slash kept once",
         {"/opt/krelix/", "", "/home/u"},
         {"/opt/krelix/"},
         "/opt/krelix/settings.dat"},
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
        const std::string path = ChooseSettingsPath(c.places, [&](const std::string& folder) {
            probed.insert(folder);
            return c.writable.count(folder) > 0;
        });
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

}  // namespace
}  // namespace krelix
