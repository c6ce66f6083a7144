#include "operations/journal/journal_recorder.h"

#include <sys/stat.h>

namespace krelix {

JournalRecorder::JournalRecorder(CommandJournal* journal, CommandKind kind, std::time_t now)
    : journal_(journal), kind_(kind), now_(now), failed_(journal == nullptr) {}

JournalRecorder::~JournalRecorder() {
    // Tried even after a failed write, so that the command is not taken for an interrupted one.
    if (command_ != 0) {
        journal_->FinishCommand(command_);
    }
}

std::int64_t JournalRecorder::Before(EntryAction action, const std::string& original,
                                     const std::string& current, const FileState* after) {
    if (failed_) {
        return 0;
    }
    if (command_ == 0) {
        const std::optional<std::int64_t> command = journal_->BeginCommand(kind_, now_);
        if (!command) {
            failed_ = true;
            return 0;
        }
        command_ = *command;
    }
    JournalEntry entry;
    entry.action = action;
    entry.original = original;
    entry.current = current;
    struct stat status {};
    if (::lstat(original.c_str(), &status) == 0) {
        entry.before = StateOf(status);
    }
    if (after != nullptr) {
        entry.after = *after;
    }
    const std::optional<std::int64_t> id = journal_->AddEntry(command_, entry);
    if (!id) {
        failed_ = true;
        return 0;
    }
    return *id;
}

void JournalRecorder::Done(std::int64_t entry, const std::string& current) {
    if (failed_ || entry == 0) {
        return;
    }
    struct stat status {};
    if (::lstat(current.c_str(), &status) != 0) {
        // Done, yet gone already: nothing is left to give back.
        journal_->SetEntryState(entry, EntryState::Undone);
        return;
    }
    if (!journal_->CompleteEntry(command_, entry, current, StateOf(status))) {
        failed_ = true;
    }
}

void JournalRecorder::Prepared(std::int64_t entry, const FileState& after) {
    if (!failed_ && entry != 0 && !journal_->SetEntryAfter(entry, after)) {
        failed_ = true;
    }
}

void JournalRecorder::NotDone(std::int64_t entry) {
    if (!failed_ && entry != 0 && !journal_->SetEntryState(entry, EntryState::Undone)) {
        failed_ = true;
    }
}

}  // namespace krelix
