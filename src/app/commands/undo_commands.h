#pragma once

#include <QString>
#include <string>

#include "operations/journal/command_undo.h"

namespace krelix {

class CommandJournal;
class KrelixDlgModel;
class Prompts;
class Trash;

// "Undo Last Command" (Ctrl+Z): asks, then reverses the newest command in the journal
// (UndoCommand) and tells what it restored and which files it left, and why. The listed rows
// follow the files it gave back: renamed records take their old names again, struck rows of
// restored files stand again, replaced ones lose their link mark. At start it shows the journal's
// notice, if any, and offers to undo what a command that was stopped half-way had done. UI
// thread only; whatever it is given must outlive it.
class UndoCommands {
  public:
    // journal may be null: notice then says why there is none.
    UndoCommands(KrelixDlgModel& model, Prompts& prompts, Trash& trash, CommandJournal* journal,
                 std::string notice);
    ~UndoCommands();
    UndoCommands(const UndoCommands&) = delete;
    UndoCommands& operator=(const UndoCommands&) = delete;

    // Once the window shows.
    void CheckAtStart();
    void UndoLast();

    // "Files restored: N , files left: L", then each left file and why.
    static QString OutcomeText(const UndoOutcome& outcome);

  private:
    void Undo(const JournalCommand& command);
    void FollowRows(const UndoOutcome& outcome);

    KrelixDlgModel& model_;
    Prompts& prompts_;
    Trash& trash_;
    CommandJournal* journal_;
    std::string notice_;
    bool busy_ = false;
};

}  // namespace krelix
