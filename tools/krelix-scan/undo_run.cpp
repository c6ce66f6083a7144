#include "undo_run.h"

#include <memory>
#include <optional>

#include "operations/journal/command_journal.h"
#include "operations/journal/command_undo.h"
#include "operations/journal/stopped_command_tidy.h"

namespace krelix {

void TidyAndSay(CommandJournal& journal, std::ostream& err) {
    for (const std::string& line : TidyStoppedCommands(journal)) {
        err << "krelix-scan: " << line << '\n';
    }
}

int RunUndo(const std::string& journalPath, std::time_t now, std::ostream& out, std::ostream& err) {
    std::string notice;
    const std::unique_ptr<CommandJournal> journal = CommandJournal::Open(journalPath, now, notice);
    if (!notice.empty()) {
        err << "krelix-scan: " << notice << '\n';
    }
    if (!journal) {
        return 1;
    }
    TidyAndSay(*journal, err);
    const std::optional<JournalCommand> newest = journal->Newest();
    if (!newest) {
        err << "krelix-scan: nothing to undo\n";
        return 0;
    }
    if (newest->running) {
        err << "krelix-scan: the newest command, " << CommandText(newest->kind)
            << ", is still running or being undone in another program; undo it once it has "
               "ended\n";
        return 1;
    }
    err << "Undoing " << CommandText(newest->kind)
        << (newest->finished ? "\n" : ", which was stopped half-way\n");
    const UndoOutcome outcome = UndoCommand(*journal, *newest, nullptr);
    if (outcome.running) {
        err << "krelix-scan: the command began to be undone by another program meanwhile\n";
        return 1;
    }
    for (const UndoLeft& left : outcome.left) {
        err << "Left: " << left.path << ": " << left.reason << '\n';
    }
    if (outcome.kept > 0) {
        err << "krelix-scan: " << outcome.kept
            << (outcome.kept == 1 ? " file stays" : " files stay")
            << " in the command journal; --undo tries again once the reason is gone\n";
    }
    if (outcome.journalFailed) {
        err << "krelix-scan: the command journal " << journal->path() << " could not be updated\n";
    }
    out << "Files restored: " << outcome.restored << ", files left: " << outcome.left.size()
        << '\n';
    return outcome.left.empty() && !outcome.journalFailed ? 0 : 1;
}

}  // namespace krelix
