#include "app/commands/undo_commands.h"

#include <sys/stat.h>

#include <QStringList>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "app/state/krelix_dlg_model.h"
#include "common/ui/file_name_text.h"
#include "common/ui/locale_time_text.h"
#include "common/ui/prompts.h"
#include "operations/journal/command_journal.h"
#include "operations/journal/stopped_command_tidy.h"
#include "operations/links/link_replacement.h"

namespace krelix {
namespace {

constexpr int kNamedFiles = 15;

std::size_t DoneFiles(const JournalCommand& command) {
    std::size_t done = 0;
    for (const JournalEntry& entry : command.entries) {
        done += entry.state == EntryState::Done && entry.action != EntryAction::Copied ? 1 : 0;
    }
    return done;
}

QString Describe(const JournalCommand& command) {
    return DecodeFileName(CommandText(command.kind)) + QStringLiteral(" (") +
           LocaleTimeText(command.started) + QStringLiteral(")");
}

}  // namespace

UndoCommands::UndoCommands(KrelixDlgModel& model, Prompts& prompts, Trash& trash,
                           CommandJournal* journal, std::string notice)
    : model_(model),
      prompts_(prompts),
      trash_(trash),
      journal_(journal),
      notice_(std::move(notice)) {
    model_.SetCommandHandler(CommandId::UndoLastCommand, [this] { UndoLast(); });
}

UndoCommands::~UndoCommands() {
    model_.SetCommandHandler(CommandId::UndoLastCommand, {});
}

QString UndoCommands::OutcomeText(const UndoOutcome& outcome) {
    if (outcome.running) {
        return QStringLiteral(
                   "The command, %1, is still running in another Krelix or krelix-scan, or "
                   "being undone there. It can be undone once it has ended.")
            .arg(DecodeFileName(CommandText(outcome.kind)));
    }
    QString text = QStringLiteral("Files restored: %1, files left: %2")
                       .arg(outcome.restored)
                       .arg(outcome.left.size());
    int named = 0;
    for (const UndoLeft& left : outcome.left) {
        if (named++ == kNamedFiles) {
            text += QStringLiteral("\n... and %1 more").arg(outcome.left.size() - kNamedFiles);
            break;
        }
        text += QStringLiteral("\n") + DecodeFileName(left.path) + QStringLiteral(": ") +
                DecodeFileName(left.reason);
    }
    if (outcome.kept > 0) {
        text += QStringLiteral(
                    "\n%1 of the files left stay in the command journal: Undo Last Command "
                    "tries them again once the reason is gone.")
                    .arg(outcome.kept);
    }
    if (outcome.journalFailed) {
        text += QStringLiteral("\nThe command journal could not be updated.");
    }
    return text;
}

void UndoCommands::CheckAtStart() {
    if (!notice_.empty()) {
        prompts_.Inform(TitleCaption(), DecodeFileName(notice_), PromptIcon::Warning);
    }
    if (journal_ == nullptr) {
        return;
    }
    journal_->Prune(std::time(nullptr));
    if (const std::vector<std::string> tidied = TidyStoppedCommands(*journal_); !tidied.empty()) {
        QStringList lines;
        for (const std::string& line : tidied) {
            lines << DecodeFileName(line);
        }
        prompts_.Inform(TitleCaption(), lines.join(QLatin1Char('\n')), PromptIcon::Warning);
    }
    for (const JournalCommand& command : journal_->Interrupted()) {
        const QString question = QStringLiteral("Krelix was stopped while ") + Describe(command) +
                                 QStringLiteral(
                                     ", before the command ended; %1 of its files had been done.\n"
                                     "Do you want to undo what was done?")
                                     .arg(DoneFiles(command));
        if (prompts_.AskYesNo(TitleCaption(), question)) {
            Undo(command);
        } else if (std::optional<CommandLock> hold = journal_->Hold(command.id)) {
            // Asked once; it stays the newest command for Undo Last Command.
            if (journal_->FinishCommand(command.id)) {
                hold->RemoveFile();
            }
        }
    }
}

void UndoCommands::UndoLast() {
    if (busy_) {
        return;
    }
    if (journal_ == nullptr) {
        prompts_.Inform(TitleCaption(),
                        QStringLiteral("No command journal is kept, so nothing can be undone."),
                        PromptIcon::Information);
        return;
    }
    const std::optional<JournalCommand> newest = journal_->Newest();
    if (!newest) {
        prompts_.Inform(TitleCaption(), QStringLiteral("There is no command to undo."),
                        PromptIcon::Information);
        return;
    }
    if (newest->running) {
        UndoOutcome running;
        running.found = running.running = true;
        running.kind = newest->kind;
        prompts_.Inform(TitleCaption(), OutcomeText(running), PromptIcon::Information);
        return;
    }
    if (prompts_.AskYesNo(
            TitleCaption(),
            QStringLiteral("Undo ") + Describe(*newest) +
                QStringLiteral("? %1 files are to be restored.").arg(DoneFiles(*newest)))) {
        Undo(*newest);
    }
}

void UndoCommands::Undo(const JournalCommand& command) {
    busy_ = true;
    const UndoOutcome outcome = UndoCommand(*journal_, command, &trash_);
    FollowRows(outcome);
    prompts_.Inform(TitleCaption(), OutcomeText(outcome),
                    outcome.left.empty() ? PromptIcon::Information : PromptIcon::Warning);
    busy_ = false;
}

void UndoCommands::FollowRows(const UndoOutcome& outcome) {
    std::unordered_map<std::string, std::string> renamedBack;
    std::unordered_set<std::string> back(outcome.unlinked.begin(), outcome.unlinked.end());
    for (const UndoMoved& moved : outcome.moved) {
        if (!moved.from.empty()) {
            renamedBack.emplace(moved.from, moved.to);
        }
        back.insert(moved.to);
    }
    if (back.empty()) {
        return;
    }
    ResultsModel& rows = model_.rows();
    const std::vector<CFileItem*> records = rows.RowRecords();
    for (CFileItem* record : records) {
        if (const auto it = renamedBack.find(record->path); it != renamedBack.end()) {
            record->path = it->second;
        }
        if (back.count(record->path) == 0) {
            continue;
        }
        struct stat now {};
        if (::lstat(record->path.c_str(), &now) != 0 || !S_ISREG(now.st_mode)) {
            continue;
        }
        const CFileItem shared = *record;
        record->identity = IdentityOf(now);
        record->size = static_cast<std::uint64_t>(now.st_size);
        record->modified = now.st_mtim.tv_sec;
        record->deleted = 0;
        rows.ClearRowLinked(record->rowIndex);
        // A hard link given up moved the shared file's status-change time; its other records
        // follow, so that later commands still take them.
        std::vector<CFileItem*> group;
        for (CFileItem& member : model_.results().MembersOf(record->groupKey)) {
            group.push_back(&member);
        }
        FollowSharedFile(shared, group);
    }
    rows.RestripeGroups();
}

}  // namespace krelix
