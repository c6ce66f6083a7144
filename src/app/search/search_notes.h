#pragma once

#include <QStringList>
#include <cstdint>
#include <vector>

#include "engine/skip_rule.h"

namespace krelix {

// What the summary box says below the summary line, one line each: why each skipped start folder
// was not searched, naming the setting by its check box, then how many files and folders could
// not be read. Empty when the run has nothing to add.
QStringList SearchNotes(const std::vector<SkippedStartFolder>& skipped,
                        std::int32_t unreadableFiles, std::int32_t unreadableFolders);

}  // namespace krelix
