#pragma once

#include <string>

namespace krelix {

// Makes the names in a folder (one just made or renamed) durable; where the file system cannot
// sync a folder, a name is as durable as it gets anyway. An empty folder text is ".".
void SyncFolder(const std::string& folder);

}  // namespace krelix
