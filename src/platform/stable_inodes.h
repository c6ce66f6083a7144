#pragma once

#include <string>

namespace krelix {

// Whether the file system holding path keeps a file's inode number for the file's life, across
// mounts and reboots (ext4, XFS, Btrfs, tmpfs, overlay and the like). File systems that make
// inode numbers up as they go (FAT, exFAT, NTFS through FUSE, network shares) may give another
// file the same number after a remount, so nothing may be remembered by it there. False when
// unknown.
bool HasStableInodes(const std::string& path);

}  // namespace krelix
