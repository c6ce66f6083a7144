#pragma once

#include <QString>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "engine/file_item.h"
#include "operations/files/file_operations.h"
#include "operations/ui/commands/progress_aware_prompts.h"

namespace krelix {

class CommandJournal;
class JournalRecorder;
class OperationProgress;
class ProtectedFolders;
class Trash;

// The commands that recycle, delete, move and copy result files. The window hands over the
// records a command acts on (it owns them) and is told when a record's file is gone. Before a
// file is recycled, deleted or moved it must still be the file that was compared; a command
// that would leave a duplicate group with no copy asks first. Failures are reported one file
// at a time and the command goes on. Files in protected folders are left alone, with one message
// saying how many. UI thread only.
class FileOperationCommands {
  public:
    // A record's file is no longer at its path (deleted, recycled, moved away, or found
    // missing); its deleted flag is already set.
    using Gone = std::function<void(CFileItem& item)>;

    // rename: how moves rename within one file system (MoveNoReplace when empty).
    FileOperationCommands(Prompts& prompts, Trash& trash, OperationProgress& progress,
                          RenameFn rename = {});

    // The folders whose files recycle, delete and move leave alone; null for none. Not owned;
    // read at each command.
    void SetProtectedFolders(const ProtectedFolders* folders) { protected_ = folders; }
    // Where recycling, moves and copies that replace a file are written for undo; null for none.
    // Not owned. Permanent deletes are never written: they cannot be undone.
    void SetJournal(CommandJournal* journal) { journal_ = journal; }

    // checked: the checked rows' records in row order; listed: every row's record; selected:
    // the first selected row's record, or null.
    void RecycleChecked(std::span<CFileItem* const> checked,
                        std::span<const CFileItem* const> listed, const Gone& gone);
    void RecycleSelected(CFileItem* selected, std::span<const CFileItem* const> listed,
                         const Gone& gone);
    void DeleteChecked(std::span<CFileItem* const> checked,
                       std::span<const CFileItem* const> listed, const Gone& gone);
    void DeleteSelected(CFileItem* selected, std::span<const CFileItem* const> listed,
                        const Gone& gone);
    void MoveChecked(std::span<CFileItem* const> checked, std::span<const CFileItem* const> listed,
                     const Gone& gone);
    // Records, rows and check marks stay as they are. A file in the way is replaced only when
    // the user agrees, and then by moving it to the trash first, so that undo can bring it back.
    void CopyChecked(std::span<CFileItem* const> checked);

    static QString FolderChooserTitle() { return QStringLiteral("Select a folder"); }

  private:
    // One file's work for a command over listed files: 0 or an error.
    using Act = std::function<int(CFileItem& item)>;
    // The failure text of a file, named or not.
    using FailureText = std::function<QString(const CFileItem& item)>;

    struct Command {
        std::string title;   // of the progress box
        FailureText failed;  // when the work fails
        FailureText named;   // when the file is not the one compared; names the file
        Act act;
    };

    void Run(const Command& command, std::span<CFileItem* const> targets, const Gone& gone);
    void ActOn(const Command& command, CFileItem& item, const Gone& gone);
    // False when the user declined losing every copy of some groups.
    bool AcceptLosses(std::span<const CFileItem* const> targets,
                      std::span<const CFileItem* const> listed, const QString& fate);
    // The same for a permanent delete, whose question says that it cannot be undone.
    bool AcceptDeleteLosses(std::span<const CFileItem* const> targets,
                            std::span<const CFileItem* const> listed);
    void Report(const QString& text, int error);
    // The chosen folder ending with "/", or empty when cancelled.
    std::string ChooseTargetFolder();
    // The records not deleted, less those in protected folders (reported once).
    std::vector<CFileItem*> Targets(std::span<CFileItem* const> records);
    int Recycle(const std::string& path, JournalRecorder& recorder);
    // Copies item's file to target, moving a file already there to the trash first.
    int CopyReplacing(const CFileItem& item, const std::string& target, JournalRecorder& recorder);

    ProgressAwarePrompts prompts_;  // every box of a command suspends its progress box
    Trash& trash_;
    OperationProgress& progress_;
    RenameFn rename_;
    const ProtectedFolders* protected_ = nullptr;
    CommandJournal* journal_ = nullptr;
};

}  // namespace krelix
