#include "operations/ui/commands/protected_refusal.h"

#include <algorithm>

#include "common/ui/prompts.h"
#include "operations/selection/protected_folders.h"

namespace krelix {

std::vector<CFileItem*> LeaveProtected(std::vector<CFileItem*> targets,
                                       const ProtectedFolders* protectedFolders, Prompts& prompts) {
    if (protectedFolders == nullptr || protectedFolders->empty()) {
        return targets;
    }
    // Asked afresh: folders may have been mounted, linked or moved since the mark was set.
    const ProtectedFolders now = protectedFolders->Refreshed();
    const auto kept = std::remove_if(targets.begin(), targets.end(),
                                     [&](const CFileItem* item) { return now.Covers(*item); });
    const auto left = static_cast<qsizetype>(targets.end() - kept);
    targets.erase(kept, targets.end());
    if (left > 0) {
        prompts.Inform(TitleCaption(),
                       left == 1 ? QStringLiteral("1 file lies in a protected folder and was left "
                                                  "alone.")
                                 : QStringLiteral("%1 files lie in protected folders and were "
                                                  "left alone.")
                                       .arg(left),
                       PromptIcon::Information);
    }
    return targets;
}

}  // namespace krelix
