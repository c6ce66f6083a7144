#include "operations/ui/commands/rename_export_commands.h"

#include <sys/stat.h>

#include <QFileInfo>
#include <ctime>

#include "common/ui/file_name_text.h"
#include "common/ui/locale_time_text.h"
#include "common/ui/prompts.h"
#include "common/ui/report_last_error.h"
#include "operations/journal/journal_recorder.h"
#include "operations/rename/file_rename.h"
#include "operations/ui/commands/file_failure_report.h"
#include "operations/ui/rename/rename_dialogs.h"

namespace krelix {
RenameExportCommands::RenameExportCommands(Prompts& prompts, RenameDialogs& dialogs,
                                           TimeTextFn timeText, BulkRenamer::Sources sources)
    : prompts_(prompts),
      dialogs_(dialogs),
      timeText_(
          timeText ? std::move(timeText)
                   : [](std::int64_t seconds) { return LocaleTimeText(seconds).toStdU16String(); }),
      renamer_(std::move(sources)) {}

void RenameExportCommands::RenameSelected(CFileItem* selected, const RowChanged& rowChanged) {
    if (selected == nullptr) {
        return;
    }
    if (selected->deleted != 0) {
        prompts_.Inform(ErrorCaption(),
                        QStringLiteral("The file has been deleted.Cannot be renamed."),
                        PromptIcon::Error);
        return;
    }
    const std::optional<QString> newName = dialogs_.AskNewName(DecodeFileName(selected->name()));
    if (!newName) {
        return;
    }
    JournalRecorder recorder(journal_, CommandKind::Rename, std::time(nullptr));
    if (const int error = RenameRecord(*selected, EncodeFileName(*newName), &recorder);
        error != 0) {
        ReportFileFailure(prompts_, QStringLiteral("Failed to rename this file."), error);
        return;
    }
    ReportJournalFailure(prompts_, recorder, journal_ != nullptr);
    if (rowChanged) {
        rowChanged(*selected);
    }
}

void RenameExportCommands::RenameChecked(std::span<CFileItem* const> checked,
                                         const RowChanged& rowChanged) {
    const std::optional<BulkRenameFields> fields = dialogs_.AskBulkFields();
    if (!fields) {
        return;
    }
    BulkRenameCallbacks callbacks;
    callbacks.renamed = [&rowChanged](CFileItem& item) {
        if (rowChanged) {
            rowChanged(item);
        }
    };
    callbacks.failed = [this](const CFileItem& item, const std::string& newPath, int error) {
        ReportFileFailure(prompts_,
                          QStringLiteral("Failed to rename the file ") + DecodeFileName(item.path) +
                              QStringLiteral(" to ") + DecodeFileName(newPath),
                          error);
    };
    JournalRecorder recorder(journal_, CommandKind::BulkRename, std::time(nullptr));
    RenameCheckedFiles(checked, *fields, renamer_, callbacks, &recorder);
    ReportJournalFailure(prompts_, recorder, journal_ != nullptr);
}

void RenameExportCommands::Export(std::span<const CFileItem* const> rows) {
    if (rows.empty()) {
        return;
    }
    QString path = prompts_.ChooseSaveFile(QStringLiteral("Save as a csv file"), QString(),
                                           QStringLiteral("CSV files(*.csv)"));
    if (path.isEmpty()) {
        return;
    }
    // The default extension, for a name typed without one.
    if (!QFileInfo(path).fileName().contains(QLatin1Char('.'))) {
        path += QStringLiteral(".csv");
    }
    // Asked here, about the final name: the chooser saw the name before ".csv" was added.
    struct stat info {};
    if (lstat(EncodeFileName(path).c_str(), &info) == 0 &&
        !prompts_.AskYesNo(TitleCaption(), QStringLiteral("The file ") + path +
                                               QStringLiteral(" already exists.\nDo you want to "
                                                              "replace it?"))) {
        return;
    }
    switch (ExportCsv(EncodeFileName(path), rows, timeText_)) {
        case CsvExportStatus::Written:
            break;
        case CsvExportStatus::CreateFailed:
            prompts_.Inform(TitleCaption(), QStringLiteral("Failed to create the file."),
                            PromptIcon::Error);
            break;
        case CsvExportStatus::WriteFailed:
            prompts_.Inform(TitleCaption(), QStringLiteral("Failed to write the file."),
                            PromptIcon::Error);
            break;
    }
}

}  // namespace krelix
