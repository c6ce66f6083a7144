#include "platform/skip_folders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace krelix {
namespace {

using Folders = SkipFolders::Folders;

SkipFolders::Environment EnvironmentOf(std::map<std::string, std::string> values) {
    return [values](const char* name) -> std::optional<std::string> {
        const auto found = values.find(name);
        return found == values.end() ? std::nullopt : std::optional<std::string>(found->second);
    };
}

TEST(SkipFolders, FollowsTheEnvironmentWithHomeFallbacks) {
    struct Case {
        std::map<std::string, std::string> environment;
        std::string home;
        Folders temporary, cache, trash;
    };
    const Case cases[] = {
        {{},
         "/home/u",
         {"/tmp/", "/var/tmp/"},
         {"/home/u/.cache/"},
         {"/home/u/.local/share/Trash/"}},
        {{{"TMPDIR", "/scratch"}, {"XDG_CACHE_HOME", "/c/"}, {"XDG_DATA_HOME", "/d"}},
         "/home/u/",
         {"/scratch/", "/var/tmp/"},
         {"/c/"},
         {"/d/Trash/"}},
        // Relative values are ignored; "/" would remove everything and is ignored too.
        {{{"TMPDIR", "rel"}, {"XDG_CACHE_HOME", "/"}, {"XDG_DATA_HOME", "x/y"}},
         "/h",
         {"/tmp/", "/var/tmp/"},
         {},
         {"/h/.local/share/Trash/"}},
        // No home folder: the home-based slots stay empty.
        {{}, "", {"/tmp/", "/var/tmp/"}, {}, {}},
    };
    for (const Case& c : cases) {
        const SkipFolders folders =
            SkipFolders::FromEnvironment(EnvironmentOf(c.environment), c.home, {"/", "/mnt/usb"});
        EXPECT_EQ(c.temporary, folders.temporary) << c.home;
        EXPECT_EQ(c.cache, folders.internetCache) << c.home;
        EXPECT_EQ(c.trash, folders.recycleBin) << c.home;
        EXPECT_EQ((Folders{"/", "/mnt/usb/"}), folders.mountPoints);
    }
}

TEST(SkipFolders, FixedSlotsNameTheSystemsFolders) {
    const SkipFolders folders = SkipFolders::FromEnvironment(EnvironmentOf({}), "/h", {});
    EXPECT_EQ((Folders{"/proc/", "/sys/", "/dev/", "/run/"}), folders.system);
    EXPECT_EQ((Folders{"/boot/", "/etc/", "/usr/", "/bin/", "/sbin/", "/lib/", "/lib32/", "/lib64/",
                       "/libx32/"}),
              folders.windows);
    EXPECT_EQ(Folders{"/var/lib/"}, folders.commonAppData);
    EXPECT_EQ(Folders{"/opt/"}, folders.programFiles);
    EXPECT_EQ(Folders{"/snap/"}, folders.programFilesX86);
}

TEST(SkipFolders, ParsesMountInfoWithEscapes) {
    const std::string text =
        "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
        "30 22 0:25 / /media/u/MY\\040STICK rw - vfat /dev/sdb1 rw\n"
        "31 22 0:26 / /mnt/back\\134slash\\012nl rw - tmpfs tmpfs rw\n"
        "32 22 0:27 /sub /media/u/MY\\040STICK rw - vfat /dev/sdb1 rw\n"
        "garbage\n";
    EXPECT_EQ((Folders{"/", "/media/u/MY STICK/", "/mnt/back\\slash\nnl/"}),
              SkipFolders::ParseMountInfo(text));
}

TEST(SkipFolders, SystemMountPointsIncludeTheRoot) {
    const Folders mounts = SkipFolders::SystemMountPoints();
    EXPECT_NE(mounts.end(), std::find(mounts.begin(), mounts.end(), "/"));
    for (const std::string& mount : mounts) {
        EXPECT_TRUE(mount.front() == '/' && mount.back() == '/') << mount;
    }
}

}  // namespace
}  // namespace krelix
