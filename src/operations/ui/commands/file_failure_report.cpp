#include "operations/ui/commands/file_failure_report.h"

#include "common/ui/prompts.h"
#include "common/ui/report_last_error.h"
#include "operations/files/file_copy.h"
#include "operations/journal/journal_recorder.h"

namespace krelix {

void ReportFileFailure(Prompts& prompts, const QString& text, int error) {
    switch (error) {
        case kFileChanged:
            prompts.Inform(ErrorCaption(),
                           text + QStringLiteral("\nIt has changed since the search (content, "
                                                 "size or times), so it was left as it is."),
                           PromptIcon::Error);
            break;
        case kNotRegularFile:
            prompts.Inform(
                ErrorCaption(),
                text + QStringLiteral("\nIt is no longer a regular file, so it was left as it is."),
                PromptIcon::Error);
            break;
        case kContentDiffers:
            prompts.Inform(ErrorCaption(),
                           text + QStringLiteral("\nIts content is not byte for byte the same as "
                                                 "the other file's, so it was left as it is."),
                           PromptIcon::Error);
            break;
        default:
            ReportLastError(prompts, text, error);
    }
}

void ReportJournalFailure(Prompts& prompts, const JournalRecorder& recorder, bool journalKept) {
    if (journalKept && recorder.failed()) {
        prompts.Inform(TitleCaption(),
                       QStringLiteral("The command journal could not be written, so this command "
                                      "cannot be undone."),
                       PromptIcon::Warning);
    }
}

}  // namespace krelix
