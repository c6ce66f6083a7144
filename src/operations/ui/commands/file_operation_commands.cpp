#include "operations/ui/commands/file_operation_commands.h"

#include <sys/stat.h>

#include <cerrno>
#include <ctime>

#include "common/ui/file_name_text.h"
#include "common/ui/prompts.h"
#include "common/ui/report_last_error.h"
#include "operations/files/operation_progress.h"
#include "operations/files/trash.h"
#include "operations/journal/command_undo.h"
#include "operations/journal/journal_recorder.h"
#include "operations/ui/commands/file_failure_report.h"
#include "operations/ui/commands/protected_refusal.h"

namespace krelix {
namespace {

std::vector<CFileItem*> NotDeleted(std::span<CFileItem* const> records) {
    std::vector<CFileItem*> targets;
    targets.reserve(records.size());
    for (CFileItem* record : records) {
        if (record != nullptr && record->deleted == 0) {
            targets.push_back(record);
        }
    }
    return targets;
}

QString LossQuestion(std::size_t groups, const QString& fate) {
    const bool one = groups == 1;
    return QStringLiteral(
               "%1 duplicate %2 would lose every copy: all %3 remaining files are to be %4.\n"
               "Do you want to go on?")
        .arg(QString::number(groups), one ? QStringLiteral("group") : QStringLiteral("groups"),
             one ? QStringLiteral("its") : QStringLiteral("their"), fate);
}

QString DeleteLossQuestion(std::size_t groups) {
    return LossQuestion(groups, QStringLiteral("deleted permanently")) +
           QStringLiteral("\nThis cannot be undone.");
}

QString TrashText(const CFileItem& item) {
    return QStringLiteral("Failed to move the file ") + DecodeFileName(item.path) +
           QStringLiteral(" to the trash");
}

QString DeleteText(const CFileItem& item) {
    return QStringLiteral("Failed to delete the file ") + DecodeFileName(item.path);
}

}  // namespace

FileOperationCommands::FileOperationCommands(Prompts& prompts, Trash& trash,
                                             OperationProgress& progress, RenameFn rename)
    : prompts_(prompts, progress), trash_(trash), progress_(progress), rename_(std::move(rename)) {}

void FileOperationCommands::Report(const QString& text, int error) {
    ReportFileFailure(prompts_, text, error);
}

bool FileOperationCommands::AcceptLosses(std::span<const CFileItem* const> targets,
                                         std::span<const CFileItem* const> listed,
                                         const QString& fate) {
    const std::size_t groups = GroupsLeftWithoutCopy(targets, listed);
    return groups == 0 || prompts_.AskOkCancel(TitleCaption(), LossQuestion(groups, fate));
}

bool FileOperationCommands::AcceptDeleteLosses(std::span<const CFileItem* const> targets,
                                               std::span<const CFileItem* const> listed) {
    const std::size_t groups = GroupsLeftWithoutCopy(targets, listed);
    return groups == 0 || prompts_.AskOkCancel(TitleCaption(), DeleteLossQuestion(groups));
}

void FileOperationCommands::ActOn(const Command& command, CFileItem& item, const Gone& gone) {
    const auto markGone = [&item, &gone] {
        item.deleted = 1;
        if (gone) {
            gone(item);
        }
    };
    if (const int check = CheckListedFile(item); check != 0) {
        Report(command.named(item), check);
        if (IsGone(check)) {
            markGone();
        }
        return;
    }
    if (const int error = command.act(item); error != 0) {
        Report(command.failed(item), error);
        return;
    }
    markGone();
}

void FileOperationCommands::Run(const Command& command, std::span<CFileItem* const> targets,
                                const Gone& gone) {
    progress_.Begin(command.title, targets.size());
    for (std::size_t i = 0; i < targets.size(); ++i) {
        CFileItem& item = *targets[i];
        if (!progress_.Next(i, item.path)) {
            break;
        }
        ActOn(command, item, gone);
    }
    progress_.End();
}

int FileOperationCommands::Recycle(const std::string& path, JournalRecorder& recorder) {
    const std::int64_t entry = recorder.Before(EntryAction::Recycled, path);
    std::string inTrash;
    const int error = trash_.MoveToTrash(path, &inTrash);
    if (error != 0) {
        recorder.NotDone(entry);
    } else {
        recorder.Done(entry, inTrash);
    }
    return error;
}

std::vector<CFileItem*> FileOperationCommands::Targets(std::span<CFileItem* const> records) {
    return LeaveProtected(NotDeleted(records), protected_, prompts_);
}

std::string FileOperationCommands::ChooseTargetFolder() {
    const QString chosen = prompts_.ChooseFolder(FolderChooserTitle(), QString());
    if (chosen.isEmpty()) {
        return {};
    }
    std::string folder = EncodeFileName(chosen);
    if (folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

void FileOperationCommands::RecycleChecked(std::span<CFileItem* const> checked,
                                           std::span<const CFileItem* const> listed,
                                           const Gone& gone) {
    const std::vector<CFileItem*> targets = Targets(checked);
    if (targets.empty() || !AcceptLosses(targets, listed, QStringLiteral("moved to the trash"))) {
        return;
    }
    JournalRecorder recorder(journal_, CommandKind::Recycle, std::time(nullptr));
    Run({"Moving files to the trash", TrashText, TrashText,
         [this, &recorder](CFileItem& item) { return Recycle(item.path, recorder); }},
        targets, gone);
    ReportJournalFailure(prompts_, recorder, journal_ != nullptr);
}

void FileOperationCommands::RecycleSelected(CFileItem* selected,
                                            std::span<const CFileItem* const> listed,
                                            const Gone& gone) {
    CFileItem* const chosen[] = {selected};
    if (Targets(chosen).empty()) {
        return;
    }
    CFileItem* const targets[] = {selected};
    const QString fate = QStringLiteral("moved to the trash");
    // One question either way: losing the group's last copy, or the plain confirmation.
    if (GroupsLeftWithoutCopy(targets, listed) != 0) {
        if (!AcceptLosses(targets, listed, fate)) {
            return;
        }
    } else if (!prompts_.AskYesNo(TitleCaption(),
                                  QStringLiteral("Are you sure you want to move this file to "
                                                 "the trash?\n") +
                                      DecodeFileName(selected->path))) {
        return;
    }
    JournalRecorder recorder(journal_, CommandKind::Recycle, std::time(nullptr));
    ActOn(
        {"",
         [](const CFileItem&) { return QStringLiteral("Failed to move this file to the trash."); },
         TrashText, [this, &recorder](CFileItem& item) { return Recycle(item.path, recorder); }},
        *selected, gone);
    ReportJournalFailure(prompts_, recorder, journal_ != nullptr);
}

void FileOperationCommands::DeleteChecked(std::span<CFileItem* const> checked,
                                          std::span<const CFileItem* const> listed,
                                          const Gone& gone) {
    const std::vector<CFileItem*> targets = Targets(checked);
    if (targets.empty() || !AcceptDeleteLosses(targets, listed)) {
        return;
    }
    Run({"Deleting files", DeleteText, DeleteText,
         [](CFileItem& item) { return DeleteFile(item.path); }},
        targets, gone);
}

void FileOperationCommands::DeleteSelected(CFileItem* selected,
                                           std::span<const CFileItem* const> listed,
                                           const Gone& gone) {
    CFileItem* const chosen[] = {selected};
    if (Targets(chosen).empty()) {
        return;
    }
    CFileItem* const targets[] = {selected};
    if (!AcceptDeleteLosses(targets, listed)) {
        return;
    }
    ActOn({"", [](const CFileItem&) { return QStringLiteral("Failed to delete this file."); },
           DeleteText, [](CFileItem& item) { return DeleteFile(item.path); }},
          *selected, gone);
}

void FileOperationCommands::MoveChecked(std::span<CFileItem* const> checked,
                                        std::span<const CFileItem* const> listed,
                                        const Gone& gone) {
    const std::string folder = ChooseTargetFolder();
    if (folder.empty()) {
        return;
    }
    const std::vector<CFileItem*> targets = Targets(checked);
    if (targets.empty() ||
        !AcceptLosses(targets, listed, QStringLiteral("moved to ") + DecodeFileName(folder))) {
        return;
    }
    const auto text = [&folder](const CFileItem& item) {
        return QStringLiteral("Failed to move the file ") + DecodeFileName(item.path) +
               QStringLiteral(" to ") + DecodeFileName(std::string(folder).append(item.name()));
    };
    JournalRecorder recorder(journal_, CommandKind::Move, std::time(nullptr));
    Run({"Moving files", text, text,
         [this, &folder, &recorder](CFileItem& item) {
             const std::string target = std::string(folder).append(item.name());
             const std::int64_t entry = recorder.Before(EntryAction::Moved, item.path, target);
             const int error = MoveListedFile(item, target, rename_);
             if (error != 0) {
                 recorder.NotDone(entry);
             } else {
                 recorder.Done(entry, target);
             }
             return error;
         }},
        targets, gone);
    ReportJournalFailure(prompts_, recorder, journal_ != nullptr);
}

void FileOperationCommands::CopyChecked(std::span<CFileItem* const> checked) {
    const std::string folder = ChooseTargetFolder();
    if (folder.empty()) {
        return;
    }
    const std::vector<CFileItem*> targets = NotDeleted(checked);
    JournalRecorder recorder(journal_, CommandKind::Copy, std::time(nullptr));
    progress_.Begin("Copying files", targets.size());
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const CFileItem& item = *targets[i];
        if (!progress_.Next(i, item.path)) {
            break;
        }
        const std::string target = std::string(folder).append(item.name());
        CopyOptions options;
        int error = CopyRegularFile(item.path, target, options);
        if (error == EEXIST &&
            prompts_.AskYesNo(TitleCaption(), QStringLiteral("The file ") + DecodeFileName(target) +
                                                  QStringLiteral(" already exists.\nDo you "
                                                                 "want to replace it?"))) {
            error = CopyReplacing(item, target, recorder);
        } else if (error == EEXIST) {
            continue;  // the user keeps the existing file
        }
        if (error != 0) {
            Report(QStringLiteral("Failed to copy the file ") + DecodeFileName(item.path) +
                       QStringLiteral(" to ") + DecodeFileName(target),
                   error);
        }
    }
    progress_.End();
    ReportJournalFailure(prompts_, recorder, journal_ != nullptr);
}

int FileOperationCommands::CopyReplacing(const CFileItem& item, const std::string& target,
                                         JournalRecorder& recorder) {
    // A file is given up only for the very content that was compared.
    if (const int check = CheckListedFile(item)) {
        return check;
    }
    struct stat existing {};
    if (::lstat(target.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) {
        return EISDIR;
    }
    const std::int64_t recycled = recorder.Before(EntryAction::Recycled, target);
    std::string inTrash;
    if (const int error = trash_.MoveToTrash(target, &inTrash)) {
        recorder.NotDone(recycled);
        return error;
    }
    recorder.Done(recycled, inTrash);
    const std::int64_t copied = recorder.Before(EntryAction::Copied, item.path, target);
    CopyOptions options;
    options.expected = &item;
    const int error = CopyRegularFile(item.path, target, options);
    if (error != 0) {
        recorder.NotDone(copied);
        // The replaced file goes back at once: nothing took its place.
        if (!inTrash.empty() && ReturnFromTrash(inTrash, target) == 0) {
            recorder.NotDone(recycled);
        }
        return error;
    }
    recorder.Done(copied, target);
    return 0;
}

}  // namespace krelix
