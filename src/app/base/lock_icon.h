#pragma once

#include <QIcon>

namespace krelix {

// The padlock shown beside a protected folder: the desktop theme's, else one drawn here.
QIcon LockIcon();

}  // namespace krelix
