#pragma once

#include <cerrno>

namespace krelix {

// Whether a failed open or read, by its errno, means that the entry cannot be read (no
// permission, an I/O error, a path too long for the system, no descriptor left) rather than that
// it vanished (ENOENT, ENOTDIR) or was replaced by a link (ELOOP under O_NOFOLLOW) meanwhile.
// Entries that vanished or changed during a run are not reported: a new run sees them as they are.
inline bool IsUnreadableError(int error) {
    return error != 0 && error != ENOENT && error != ENOTDIR && error != ELOOP;
}

}  // namespace krelix
