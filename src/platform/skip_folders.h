#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace krelix {

// The folders the folder rules leave out, one slot per rule. Every text is absolute and ends
// with "/"; a folder is in a slot when its path begins with one of the slot's texts. An empty
// slot removes nothing.
struct SkipFolders {
    using Folders = std::vector<std::string>;

    Folders system;           // /proc/, /sys/, /dev/, /run/
    Folders windows;          // the operating system's own folders
    Folders commonAppData;    // /var/lib/
    Folders programFiles;     // /opt/
    Folders programFilesX86;  // /snap/
    Folders temporary;        // $TMPDIR or /tmp/, and /var/tmp/
    Folders internetCache;    // $XDG_CACHE_HOME or ~/.cache/
    Folders recycleBin;       // the home trash
    // The old recycle bin: a folder named .Trash or .Trash-<uid> directly inside one of these.
    Folders mountPoints;

    // Looks up one environment variable; nullopt when unset.
    using Environment = std::function<std::optional<std::string>(const char* name)>;

    // The real folders of this system: environment, home folder, current mount points.
    static SkipFolders FromSystem();
    // The table for a given environment, home folder and mount points (no file-system access).
    static SkipFolders FromEnvironment(const Environment& environment, std::string_view home,
                                       Folders mountPoints);
    // The current mount points, "/" always among them.
    static Folders SystemMountPoints();
    // The mount points named in the text of /proc/self/mountinfo (octal escapes decoded).
    static Folders ParseMountInfo(std::string_view text);
};

}  // namespace krelix
