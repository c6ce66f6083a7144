#pragma once

#include <string>
#include <string_view>

namespace krelix {

// Moves a file to a new path without ever replacing what is there: EEXIST when the new path
// exists. Uses renameat2(RENAME_NOREPLACE); on file systems without it, a hard link followed
// by removing the old name; on file systems without hard links, a check and a rename.
// Returns 0 or the errno of the failure.
int MoveNoReplace(const std::string& oldPath, const std::string& newPath);

// The fallback of MoveNoReplace for file systems that lack RENAME_NOREPLACE.
int MoveNoReplaceByLink(const std::string& oldPath, const std::string& newPath);

// The path up to and including its last "/" (empty when there is none).
std::string_view FolderOf(std::string_view path);

}  // namespace krelix
