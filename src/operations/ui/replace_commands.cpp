#include "operations/ui/replace_commands.h"

#include <QStringList>
#include <cerrno>
#include <ctime>
#include <vector>

#include "common/ui/file_name_text.h"
#include "operations/file_operations.h"
#include "operations/journal_recorder.h"
#include "operations/link_plan.h"
#include "operations/operation_progress.h"
#include "operations/protected_folders.h"
#include "operations/ui/file_failure_report.h"
#include "operations/ui/protected_refusal.h"

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
                         "%1 %2 on another file system than the file to keep, so %3 left alone.")
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
    const ProtectedFolders none;
    const std::vector<LinkGroupPlan> plans =
        PlanLinkGroups(checked, listed, protected_ != nullptr ? *protected_ : none);

    LeftAlone leftAlone;
    std::size_t total = 0;
    for (const LinkGroupPlan& plan : plans) {
        if (plan.kept == nullptr) {
            leftAlone.groupsWithoutKept += plan.targets.empty() ? 0 : 1;
        } else {
            total += plan.targets.size();
        }
    }
    progress_.Begin(kind == LinkKind::HardLink ? "Replacing files with hard links"
                                               : "Replacing files with clones",
                    total);
    std::size_t done = 0;
    bool stopped = false;
    JournalRecorder recorder(
        journal_, kind == LinkKind::HardLink ? CommandKind::HardLink : CommandKind::Clone,
        std::time(nullptr));
    for (const LinkGroupPlan& plan : plans) {
        if (plan.kept == nullptr || stopped) {
            continue;
        }
        for (CFileItem* target : plan.targets) {
            if (!progress_.Next(done++, target->path)) {
                stopped = true;
                break;
            }
            const LinkResult result =
                ReplaceWithLink(*plan.kept, *target, kind, LinkRun::Replace, &recorder);
            if (result.error == 0) {
                if (!result.alreadyLinked) {
                    FollowReplacement(*target, result, plan.members);
                    if (linked) {
                        linked(*target, kind);
                    }
                }
                continue;
            }
            if (result.keptFailed) {
                ReportFileFailure(prompts_, KeptFailureText(*plan.kept), result.error);
                break;
            }
            if (result.error == EXDEV) {
                ++leftAlone.otherFileSystem;
            } else if (kind == LinkKind::Clone && IsCloneUnsupported(result.error)) {
                ++leftAlone.noClones;
            } else {
                ReportFileFailure(prompts_, FailureText(kind, *target, *plan.kept), result.error);
                if (IsGone(result.error)) {
                    target->deleted = 1;
                    if (gone) {
                        gone(*target);
                    }
                }
            }
        }
    }
    progress_.End();
    ReportJournalFailure(prompts_, recorder, journal_ != nullptr);
    if (const QString text = leftAlone.Text(); !text.isEmpty()) {
        prompts_.Inform(TitleCaption(), text, PromptIcon::Warning);
    }
}

}  // namespace krelix
