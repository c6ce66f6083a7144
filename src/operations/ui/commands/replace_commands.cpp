#include "operations/ui/commands/replace_commands.h"

#include <QStringList>
#include <cerrno>
#include <ctime>
#include <vector>

#include "common/ui/file_name_text.h"
#include "operations/files/file_operations.h"
#include "operations/files/operation_progress.h"
#include "operations/journal/journal_recorder.h"
#include "operations/links/link_plan.h"
#include "operations/selection/protected_folders.h"
#include "operations/ui/commands/file_failure_report.h"
#include "operations/ui/commands/protected_refusal.h"

namespace krelix {
namespace {

QString FailureText(LinkKind kind, const CFileItem& target, const CFileItem& kept) {
    return QStringLiteral("Failed to replace the file ") + DecodeFileName(target.path) +
           (kind == LinkKind::HardLink ? QStringLiteral(" by a hard link to ")
                                       : QStringLiteral(" by a clone of ")) +
           DecodeFileName(kept.path);
}

QString KeptFailureText(const CFileItem& kept) {
    return QStringLiteral("The file ") + DecodeFileName(kept.path) +
           QStringLiteral(
               " was to be kept for its group, so no more files of the group were "
               "replaced.");
}

// The reasons that hold for many files at once, told once at the end.
struct LeftAlone {
    std::size_t groupsWithoutKept = 0;
    std::size_t otherFileSystem = 0;
    std::size_t noClones = 0;

    QString Text() const {
        QStringList lines;
        if (groupsWithoutKept > 0) {
            lines << QStringLiteral(
                         "%1 duplicate %2 no unchecked file left unchanged on disk to keep, so "
                         "%3 checked files were left alone.")
                         .arg(groupsWithoutKept)
                         .arg(groupsWithoutKept == 1 ? QStringLiteral("group has")
                                                     : QStringLiteral("groups have"),
                              groupsWithoutKept == 1 ? QStringLiteral("its")
                                                     : QStringLiteral("their"));
        }
        if (otherFileSystem > 0) {
            lines << QStringLiteral(
                         "%1 %2 on another file system or mount point than the file to keep, so %3 "
                         "left alone.")
                         .arg(otherFileSystem)
                         .arg(otherFileSystem == 1 ? QStringLiteral("file lies")
                                                   : QStringLiteral("files lie"),
                              otherFileSystem == 1 ? QStringLiteral("it was")
                                                   : QStringLiteral("they were"));
        }
        if (noClones > 0) {
            lines << QStringLiteral(
                         "%1 %2 on a file system that cannot make clones, so %3 left alone.")
                         .arg(noClones)
                         .arg(noClones == 1 ? QStringLiteral("file lies")
                                            : QStringLiteral("files lie"),
                              noClones == 1 ? QStringLiteral("it was")
                                            : QStringLiteral("they were"));
        }
        return lines.join(QLatin1Char('\n'));
    }
};

}  // namespace

// One command's state across its groups.
struct ReplaceCommands::Run {
    LinkKind kind;
    const Linked& linked;
    const Gone& gone;
    JournalRecorder* journal;  // null once the user chose to go on without undo
    std::size_t done = 0;
    bool stopped = false;
    LeftAlone leftAlone;
};

ReplaceCommands::ReplaceCommands(Prompts& prompts, OperationProgress& progress)
    : prompts_(prompts, progress), progress_(progress) {}

void ReplaceCommands::ReplaceChecked(LinkKind kind, std::span<CFileItem* const> checked,
                                     std::span<CFileItem* const> listed, const Linked& linked,
                                     const Gone& gone) {
    std::vector<CFileItem*> candidates;
    for (CFileItem* record : checked) {
        if (record != nullptr && record->deleted == 0) {
            candidates.push_back(record);
        }
    }
    if (LeaveProtected(std::move(candidates), protected_, prompts_).empty()) {
        return;
    }
    if (journal_ == nullptr &&
        !prompts_.AskYesNo(TitleCaption(),
                           QStringLiteral("The command journal cannot be written, so these "
                                          "replacements could not be undone.\n"
                                          "Replace the files anyway?"))) {
        return;
    }
    const ProtectedFolders now =
        protected_ != nullptr ? protected_->Refreshed() : ProtectedFolders();
    const std::vector<LinkGroupPlan> plans = PlanLinkGroups(checked, listed, now);
    std::size_t total = 0;
    for (const LinkGroupPlan& plan : plans) {
        total += plan.kept != nullptr ? plan.targets.size() : 0;
    }
    progress_.Begin(kind == LinkKind::HardLink ? "Replacing files with hard links"
                                               : "Replacing files with clones",
                    total);
    JournalRecorder recorder(
        journal_, kind == LinkKind::HardLink ? CommandKind::HardLink : CommandKind::Clone,
        std::time(nullptr));
    Run run{kind, linked, gone, journal_ != nullptr ? &recorder : nullptr, 0, false, {}};
    for (const LinkGroupPlan& plan : plans) {
        if (plan.kept == nullptr) {
            run.leftAlone.groupsWithoutKept += plan.targets.empty() ? 0 : 1;
        } else if (!run.stopped) {
            ReplaceGroup(plan, run);
        }
    }
    progress_.End();
    ReportJournalFailure(prompts_, recorder, journal_ != nullptr);
    if (const QString text = run.leftAlone.Text(); !text.isEmpty()) {
        prompts_.Inform(TitleCaption(), text, PromptIcon::Warning);
    }
}

void ReplaceCommands::ReplaceGroup(const LinkGroupPlan& plan, Run& run) {
    for (CFileItem* target : plan.targets) {
        if (!progress_.Next(run.done++, target->path)) {
            run.stopped = true;
            return;
        }
        LinkResult result =
            ReplaceWithLink(*plan.kept, *target, run.kind, LinkRun::Replace, run.journal);
        if (result.error == kJournalUnwritten) {
            if (!prompts_.AskYesNo(TitleCaption(),
                                   QStringLiteral("The command journal could not be written, so "
                                                  "the replacements from here on could not be "
                                                  "undone.\nGo on without undo?"))) {
                run.stopped = true;
                return;
            }
            run.journal = nullptr;
            result = ReplaceWithLink(*plan.kept, *target, run.kind, LinkRun::Replace);
        }
        if (result.error == 0) {
            if (!result.alreadyLinked) {
                FollowReplacement(*target, result, plan.members);
                if (run.linked) {
                    run.linked(*target, run.kind);
                }
            }
        } else if (result.keptFailed) {
            ReportFileFailure(prompts_, KeptFailureText(*plan.kept), result.error);
            return;
        } else {
            Report(result.error, *target, *plan.kept, run);
        }
    }
}

void ReplaceCommands::Report(int error, CFileItem& target, const CFileItem& kept, Run& run) {
    if (error == EXDEV || error == kOtherMount) {
        ++run.leftAlone.otherFileSystem;
    } else if (run.kind == LinkKind::Clone && IsCloneUnsupported(error)) {
        ++run.leftAlone.noClones;
    } else {
        ReportFileFailure(prompts_, FailureText(run.kind, target, kept), error);
        if (IsGone(error)) {
            target.deleted = 1;
            if (run.gone) {
                run.gone(target);
            }
        }
    }
}

}  // namespace krelix
