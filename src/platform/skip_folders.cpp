#include "platform/skip_folders.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/home_folders.h"

namespace krelix {
namespace {

// Relative values are ignored, as the XDG base directory rules ask. "/" alone would remove
// every folder, so a variable set to it is taken as a mistake and removes nothing.
std::optional<std::string> FolderText(std::string text) {
    if (text.empty() || text.front() != '/') {
        return std::nullopt;
    }
    if (text.back() != '/') {
        text += '/';
    }
    if (text == "/") {
        return std::nullopt;
    }
    return text;
}

std::optional<std::string> Absolute(const SkipFolders::Environment& environment, const char* name) {
    std::optional<std::string> value = environment(name);
    if (!value || value->empty() || value->front() != '/') {
        return std::nullopt;
    }
    return value;
}

void Add(SkipFolders::Folders& slot, std::string text) {
    if (std::optional<std::string> folder = FolderText(std::move(text))) {
        slot.push_back(std::move(*folder));
    }
}

std::string Unescape(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string_view digits = field.substr(i + 1, 3);
            if (std::all_of(digits.begin(), digits.end(),
                            [](char c) { return c >= '0' && c <= '7'; })) {
                out += static_cast<char>(((digits[0] - '0') << 6) | ((digits[1] - '0') << 3) |
                                         (digits[2] - '0'));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

}  // namespace

SkipFolders SkipFolders::FromSystem() {
    Environment environment = [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    };
    return FromEnvironment(environment, HomeFolder(), SystemMountPoints());
}

SkipFolders SkipFolders::FromEnvironment(const Environment& environment, std::string_view home,
                                         Folders mountPoints) {
    SkipFolders folders;
    for (const char* folder : {"/proc/", "/sys/", "/dev/", "/run/"}) {
        Add(folders.system, folder);
    }
    for (const char* folder : {"/boot/", "/etc/", "/usr/", "/bin/", "/sbin/", "/lib/", "/lib32/",
                               "/lib64/", "/libx32/"}) {
        Add(folders.windows, folder);
    }
    Add(folders.commonAppData, "/var/lib/");
    Add(folders.programFiles, "/opt/");
    Add(folders.programFilesX86, "/snap/");

    Add(folders.temporary, Absolute(environment, "TMPDIR").value_or("/tmp/"));
    Add(folders.temporary, "/var/tmp/");

    const bool haveHome = !home.empty() && home.front() == '/';
    std::string homeText(home);
    if (haveHome && homeText.back() != '/') {
        homeText += '/';
    }
    if (std::optional<std::string> cache = Absolute(environment, "XDG_CACHE_HOME")) {
        Add(folders.internetCache, *cache);
    } else if (haveHome) {
        Add(folders.internetCache, homeText + ".cache/");
    }
    std::string dataHome = Absolute(environment, "XDG_DATA_HOME")
                               .value_or(haveHome ? homeText + ".local/share" : std::string());
    if (!dataHome.empty()) {
        if (dataHome.back() != '/') {
            dataHome += '/';
        }
        Add(folders.recycleBin, dataHome + "Trash/");
    }

    for (std::string& mount : mountPoints) {
        if (!mount.empty() && mount.front() == '/') {
            if (mount.back() != '/') {
                mount += '/';
            }
            folders.mountPoints.push_back(std::move(mount));
        }
    }
    return folders;
}

SkipFolders::Folders SkipFolders::SystemMountPoints() {
    std::ifstream in("/proc/self/mountinfo", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    Folders mounts = ParseMountInfo(text.str());
    if (std::find(mounts.begin(), mounts.end(), "/") == mounts.end()) {
        mounts.insert(mounts.begin(), "/");
    }
    return mounts;
}

SkipFolders::Folders SkipFolders::ParseMountInfo(std::string_view text) {
    // Each line: mount ID, parent ID, major:minor, root, mount point, ... Fields are separated
    // by single spaces; spaces, tabs, newlines and backslashes inside a field are octal escapes.
    Folders mounts;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        for (int field = 0; field < 4 && !line.empty(); ++field) {
            const std::size_t space = line.find(' ');
            line = space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
        }
        const std::string_view mount = line.substr(0, line.find(' '));
        if (mount.empty() || mount.front() != '/') {
            continue;
        }
        std::string folder = Unescape(mount);
        if (folder.back() != '/') {
            folder += '/';
        }
        if (std::find(mounts.begin(), mounts.end(), folder) == mounts.end()) {
            mounts.push_back(std::move(folder));
        }
    }
    return mounts;
}

}  // namespace krelix
