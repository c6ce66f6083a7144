#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <functional>
#include <span>
#include <string>

#include "engine/file_item.h"
#include "operations/files/file_copy.h"

namespace krelix {

// The status is of the very file the search compared, unchanged since: the same device and
// inode, size, and modification and status-change times to the nanosecond. Every command that
// changes or removes a listed file asks this first.
bool MatchesRecord(const struct stat& status, const CFileItem& item);

// Whether the file at the record's path is still the one that was compared: a regular file
// (the path itself, a link is not followed) that MatchesRecord.
// Returns 0 when it is, kFileChanged, kNotRegularFile, or the errno of looking (see IsGone).
int CheckListedFile(const CFileItem& item);
// True for the errors of CheckListedFile that mean nothing is left at the path.
bool IsGone(int error);

// Removes the file at path; 0 or the errno of the failure.
int DeleteFile(const std::string& path);

// Renames without replacing anything: 0 or an errno, EXDEV across file systems.
using RenameFn = std::function<int(const std::string& from, const std::string& to)>;

// Moves the record's file to target, never replacing a file there (EEXIST). Within one file
// system it is renamed (`rename`; MoveNoReplace when empty). When the rename answers EXDEV the
// file is copied into target's folder (content, permission bits, owner where allowed,
// modification time; synced) and the source is removed only once the copy is complete and
// under its name. If the source changed meanwhile or cannot be removed, the copy is removed
// again and the source stays. Returns 0, an errno, kFileChanged or kNotRegularFile.
int MoveListedFile(const CFileItem& item, const std::string& target, const RenameFn& rename = {});

// Whether a listed record that a command leaves alone still counts as a copy of its group.
using CopyCheck = std::function<bool(const CFileItem& item)>;
// The default: the file is still on disk and unchanged since the search (CheckListedFile).
bool IsCopyOnDisk(const CFileItem& item);

// How many duplicate groups a command over `actedOn` would leave without a copy: groups none of
// whose other listed members, not deleted, is still a copy (`isCopy`). A kept member that was
// removed or edited after the search is no copy. Deleted records count neither way.
std::size_t GroupsLeftWithoutCopy(std::span<const CFileItem* const> actedOn,
                                  std::span<const CFileItem* const> listed,
                                  const CopyCheck& isCopy = IsCopyOnDisk);

}  // namespace krelix
