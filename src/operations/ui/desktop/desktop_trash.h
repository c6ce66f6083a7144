#pragma once

#include <string>
#include <vector>

#include "operations/files/trash.h"

namespace krelix {

// The desktop's trash (freedesktop.org), through QFile::moveToTrash.
class DesktopTrash final : public Trash {
  public:
    // EILSEQ for a path whose bytes do not survive the trip through QString: the text would
    // name another file (or none), so nothing is moved. ENOTSUP when no trash folder can be
    // made; the file stays where it was.
    int MoveToTrash(const std::string& path, std::string* inTrash) override;
    using Trash::MoveToTrash;
    // The home trash, and the trash folders at the top of the file system that holds path.
    std::vector<std::string> FoldersFor(const std::string& path) const override;
};

}  // namespace krelix
