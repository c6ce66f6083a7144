#pragma once

#include <sys/stat.h>

#include "engine/file_item.h"
#include "platform/unique_fd.h"

namespace krelix {

// A listed file held open for reading while a command works on it, with its status as opened.
struct OpenedListedFile {
    UniqueFd fd;
    struct stat status {};
};

// Opens the record's file once it is known to be the file compared: a FIFO or device is never
// opened, and a path swapped between the two looks is caught. 0, an errno, kFileChanged or
// kNotRegularFile.
int OpenListed(const CFileItem& item, OpenedListedFile& file);

// The open file is still the record's, unchanged, and its path still names it.
int StillListed(const CFileItem& item, const OpenedListedFile& file);

bool SameInode(const struct stat& a, const struct stat& b);
// The same file holding the same bytes: device, inode, size and modification time. Not the
// status-change time, which a rename or a new name moves as well as a write.
bool SameContentVersion(const struct stat& a, const struct stat& b);
// SameContentVersion and the status-change time to the nanosecond: nothing touched it.
bool SameVersion(const struct stat& a, const struct stat& b);

// 0 when both hold the same bytes, kContentDiffers, or the errno of a read (keptFailed then
// says whose).
int CompareContent(int kept, int target, bool& keptFailed);

}  // namespace krelix
