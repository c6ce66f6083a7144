#pragma once

#include <QString>
#include <functional>
#include <span>

#include "engine/file_item.h"
#include "operations/links/link_replacement.h"
#include "operations/ui/commands/progress_aware_prompts.h"

namespace krelix {

class CommandJournal;
struct LinkGroupPlan;
class OperationProgress;
class ProtectedFolders;

// "Replace Checked Files with Hard Links" and "Replace Checked Files with Clones": in each
// group the first listed member that is unchecked and still the file compared is kept, and
// every checked member becomes a hard link to it or a clone of it (ReplaceWithLink). Records
// stay listed and follow their files, so later commands still accept them. Files in protected
// folders are left alone. Failures are reported one file at a time, except the reasons that
// hold for many files at once (another file system, no clones, no file to keep), which are
// counted and told once at the end. Without a journal, or once it fails, the user is asked
// whether to go on without undo. UI thread only.
class ReplaceCommands {
  public:
    // A record's file was replaced; the record already names its new file.
    using Linked = std::function<void(CFileItem& item, LinkKind kind)>;
    // A record's file was found gone; its deleted flag is already set.
    using Gone = std::function<void(CFileItem& item)>;

    ReplaceCommands(Prompts& prompts, OperationProgress& progress);

    void SetProtectedFolders(const ProtectedFolders* folders) { protected_ = folders; }
    // Where replacements are written for undo; null for none. Not owned.
    void SetJournal(CommandJournal* journal) { journal_ = journal; }

    // checked: the checked rows' records in row order; listed: every row's record in row order.
    void ReplaceChecked(LinkKind kind, std::span<CFileItem* const> checked,
                        std::span<CFileItem* const> listed, const Linked& linked, const Gone& gone);

  private:
    struct Run;
    void ReplaceGroup(const LinkGroupPlan& plan, Run& run);
    void Report(int error, CFileItem& target, const CFileItem& kept, Run& run);

    ProgressAwarePrompts prompts_;
    OperationProgress& progress_;
    const ProtectedFolders* protected_ = nullptr;
    CommandJournal* journal_ = nullptr;
};

}  // namespace krelix
