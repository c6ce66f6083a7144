#include "settings/ui/search_option.h"

#include <array>

#include "engine/search_flags.h"

namespace krelix {
namespace {

constexpr std::array kOptions{
    SearchOption{"Skip Temporary Files", SKIP_TEMP_FILES, 0,
                 "Skips the temporary folders ($TMPDIR or /tmp/, and /var/tmp/) and the cache "
                 "folder ($XDG_CACHE_HOME or ~/.cache/). Linux marks no file as temporary."},
    SearchOption{"Skip Windows folder", SKIP_WINDOWS_FOLDER, 0,
                 "Skips the operating system's own folders: /boot/, /etc/, /usr/, /bin/, "
                 "/sbin/, /lib/, /lib32/, /lib64/ and /libx32/."},
    SearchOption{"Skip Application folders", SKIP_APP_FOLDERS, 0,
                 "Skips the folders of installed applications and their data: /opt/, /snap/ "
                 "and /var/lib/."},
    SearchOption{"Skip Zero-Size Files", SKIP_ZERO_SIZE_FILES, 0, "Skips empty files (0 bytes)."},
    SearchOption{"Do NOT scan Recycle Bin", SKIP_RECYCLE_BIN, 0,
                 "Skips the trash: your home trash (~/.local/share/Trash/) and the .Trash and "
                 ".Trash-<uid> folders at the top of each drive."},
    SearchOption{"Scan subdirectories", SEARCH_SUBDIRS, 1,
                 "Searches the folders inside each folder to search, all the way down. When "
                 "clear, only the files directly in those folders are searched."},
    SearchOption{"Skip Hidden Files", SKIP_HIDDEN_FILES, 1,
                 "Skips files whose name begins with a dot."},
    SearchOption{"Skip Hidden Folder", SKIP_HIDDEN_FOLDERS, 1,
                 "Skips folders whose name begins with a dot, with everything in them."},
    SearchOption{"Skip System Files", SKIP_SYSTEM_FILES, 1,
                 "Skips the system's virtual folders: /proc/, /sys/, /dev/ and /run/. Linux "
                 "marks no file as a system file."},
    SearchOption{"Skip compressed Files", SKIP_COMPRESSED_FILES, 1,
                 "Skips files and folders that the file system stores compressed (for example "
                 "on btrfs with compression switched on)."},
};

static_assert(kOptions.size() == kSearchOptionCount);

}  // namespace

std::span<const SearchOption> SearchOptions() {
    return kOptions;
}

std::uint32_t FlagsFromChecks(std::span<const bool> checked) {
    std::uint32_t flags = 0;
    for (std::size_t i = 0; i < checked.size() && i < kOptions.size(); ++i) {
        if (checked[i]) {
            flags |= kOptions[i].flag;
        }
    }
    return flags;
}

}  // namespace krelix
