#include "platform/stable_inodes.h"

#include <sys/vfs.h>

#include <algorithm>
#include <array>
#include <cstdint>

namespace krelix {

bool HasStableInodes(const std::string& path) {
    // f_type magic numbers (linux/magic.h and the file systems' own headers).
    static constexpr std::array<std::uint32_t, 12> kStable = {
        0xEF53,      // ext2, ext3, ext4
        0x58465342,  // XFS
        0x9123683E,  // Btrfs
        0x01021994,  // tmpfs
        0x794C7630,  // overlay
        0xF2F52010,  // F2FS
        0x2FC12FC1,  // ZFS
        0xCA451A4E,  // bcachefs
        0x52654973,  // ReiserFS
        0x3153464A,  // JFS
        0x3434,      // NILFS2
        0x858458F6,  // ramfs
    };
    struct statfs info {};
    if (statfs(path.c_str(), &info) != 0) {
        return false;
    }
    const auto type = static_cast<std::uint32_t>(info.f_type);
    return std::find(kStable.begin(), kStable.end(), type) != kStable.end();
}

}  // namespace krelix
