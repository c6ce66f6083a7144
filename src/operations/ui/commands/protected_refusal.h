#pragma once

#include <vector>

#include "engine/file_item.h"

namespace krelix {

class Prompts;
class ProtectedFolders;

// The records a command may act on: those outside every protected folder. When any are left
// alone, one message says how many. protectedFolders may be null (nothing protected).
std::vector<CFileItem*> LeaveProtected(std::vector<CFileItem*> targets,
                                       const ProtectedFolders* protectedFolders, Prompts& prompts);

}  // namespace krelix
