#pragma once

#include <functional>

#include "app/base/command_id.h"
#include "operations/files/file_operations.h"
#include "operations/ui/commands/file_operation_commands.h"
#include "operations/ui/commands/replace_commands.h"

namespace krelix {

class CMFCListCtrlEx;
class CommandJournal;
class KrelixDlgModel;
class OperationProgress;
class Prompts;
class Trash;

// The main window's selection rules, file operations and removals: registers their handlers
// with the model for as long as it lives. The selected file is the list's first selected row,
// checked files the checked rows in row order. A command that runs while another one is still
// going (its progress box lets events through) is ignored. Files in the model's protected
// folders are never checked by the rules nor acted on. UI thread only.
class FileCommands {
  public:
    FileCommands(KrelixDlgModel& model, CMFCListCtrlEx& list, Prompts& prompts, Trash& trash,
                 OperationProgress& progress, RenameFn rename = {});
    ~FileCommands();
    FileCommands(const FileCommands&) = delete;
    FileCommands& operator=(const FileCommands&) = delete;

    // Where the commands that can be undone are written; null for none. Not owned.
    void SetJournal(CommandJournal* journal) {
        operations_.SetJournal(journal);
        replace_.SetJournal(journal);
    }

  private:
    void Register(CommandId id, std::function<void()> command);
    void StrikeRow(const CFileItem& item);
    void MarkLinked(const CFileItem& item, LinkKind kind);

    KrelixDlgModel& model_;
    CMFCListCtrlEx& list_;
    Prompts& prompts_;
    FileOperationCommands operations_;
    ReplaceCommands replace_;
    std::vector<CommandId> registered_;
    bool busy_ = false;
};

}  // namespace krelix
