#pragma once

#include <QIcon>

namespace krelix {

// The program's icon: two overlapping pages, the front one marked as the copy.
QIcon ProgramIcon();

}  // namespace krelix
