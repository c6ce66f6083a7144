#pragma once

#include <QString>

namespace krelix {

class JournalRecorder;
class Prompts;

// Reports a command's failure on one file: the two failures of the "still the file compared"
// check in words of their own, any other code as the errno it is (ReportLastError).
void ReportFileFailure(Prompts& prompts, const QString& text, int error);

// Once a command ends: says that it cannot be undone where the journal could not be written.
// Nothing when no journal is kept at all (the window said so when it started).
void ReportJournalFailure(Prompts& prompts, const JournalRecorder& recorder, bool journalKept);

}  // namespace krelix
