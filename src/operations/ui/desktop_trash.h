#pragma once

#include "operations/trash.h"

namespace krelix {

// The desktop's trash (freedesktop.org), through QFile::moveToTrash.
class DesktopTrash final : public Trash {
  public:
    // EILSEQ for a path whose bytes do not survive the trip through QString: the text would
    // name another file (or none), so nothing is moved. ENOTSUP when no trash folder can be
    // made; the file stays where it was.
    int MoveToTrash(const std::string& path, std::string* inTrash) override;
    using Trash::MoveToTrash;
};

}  // namespace krelix
