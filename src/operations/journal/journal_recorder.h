#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "operations/journal/command_journal.h"

namespace krelix {

// Writes one command into the journal while it runs: each file before it is touched (Before)
// and once it is done (Done) or left as it was (NotDone). The command's row is made at the first
// file, and marked finished when the recorder goes. Without a journal, or once a write failed,
// nothing more is written and failed() says so: the command goes on, but cannot be undone
// (the caller says so once). Files are touched whether or not the journal could be written.
class JournalRecorder {
  public:
    JournalRecorder(CommandJournal* journal, CommandKind kind, std::time_t now);
    ~JournalRecorder();
    JournalRecorder(const JournalRecorder&) = delete;
    JournalRecorder& operator=(const JournalRecorder&) = delete;

    // The file at original is about to be acted on (its state is taken now); current is where
    // it is going when known, or the temporary name a replacement is first made under; after,
    // what will be there when that is known. An entry number for Done, 0 when nothing was
    // written.
    std::int64_t Before(EntryAction action, const std::string& original,
                        const std::string& current = {}, const FileState* after = nullptr);
    // The file that will take the original's place was made (a clone): the journal learns it
    // before it takes over, so that a stopped command's half-made work can be told apart.
    void Prepared(std::int64_t entry, const FileState& after);
    // The act succeeded; the file is now at current (its state is taken now).
    void Done(std::int64_t entry, const std::string& current);
    // The act failed and left the file as it was: there is nothing to reverse.
    void NotDone(std::int64_t entry);

    // A write to the journal failed, or there is no journal: (part of) the command cannot be
    // undone.
    bool failed() const { return failed_; }
    // Something was written for this command.
    bool recorded() const { return command_ != 0; }

  private:
    CommandJournal* journal_;
    CommandKind kind_;
    std::time_t now_;
    std::int64_t command_ = 0;
    bool failed_;
};

}  // namespace krelix
