#include "link_run.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "engine/duplicate_groups.h"
#include "operations/files/file_copy.h"

namespace krelix {
namespace {

std::string Reason(int error, LinkKind kind, const CFileItem& kept) {
    switch (error) {
        case kFileChanged:
            return "changed since the scan";
        case kNotRegularFile:
            return "no longer a regular file";
        case kContentDiffers:
            return "its content differs from " + kept.path;
        case EXDEV:
            return "on another file system than " + kept.path;
        case kOtherMount:
            return "on another mount point than " + kept.path +
                   " (hard links do not cross mount points, bind mounts included)";
        case EROFS:
            return "on a read-only mount, or " + kept.path + " is";
        default:
            if (kind == LinkKind::Clone && IsCloneUnsupported(error)) {
                return std::string("the file system cannot make clones (") + std::strerror(error) +
                       ")";
            }
            return std::strerror(error);
    }
}

const char* Verb(LinkKind kind, LinkRun run) {
    if (run == LinkRun::DryRun) {
        return kind == LinkKind::HardLink ? "Would link: " : "Would clone: ";
    }
    return kind == LinkKind::HardLink ? "Linked: " : "Cloned: ";
}

// The group's members in output order, the kept one first.
std::vector<CFileItem> KeptFirst(const std::vector<const CFileItem*>& group,
                                 const ProtectedFolders& protectedFolders) {
    std::vector<CFileItem> members;
    members.reserve(group.size());
    for (const CFileItem* item : group) {
        members.push_back(*item);
    }
    std::sort(members.begin(), members.end(),
              [](const CFileItem& a, const CFileItem& b) { return a.path < b.path; });
    const auto firstProtected =
        std::find_if(members.begin(), members.end(),
                     [&](const CFileItem& item) { return protectedFolders.Covers(item); });
    if (firstProtected != members.end()) {
        std::rotate(members.begin(), firstProtected, firstProtected + 1);
    }
    return members;
}

}  // namespace

LinkRunTotals ReplaceDuplicates(const ResultMap& results, LinkKind kind, LinkRun run,
                                const ProtectedFolders& protectedFolders, std::ostream& log,
                                const std::function<bool()>& stop, JournalRecorder* journal) {
    LinkRunTotals totals;
    for (const std::vector<const CFileItem*>& group : DuplicateGroups(results)) {
        std::vector<CFileItem> members = KeptFirst(group, protectedFolders);
        std::vector<CFileItem*> records;
        for (CFileItem& member : members) {
            records.push_back(&member);
        }
        const CFileItem& kept = members.front();
        for (std::size_t i = 1; i < members.size(); ++i) {
            if (stop && stop()) {
                return totals;
            }
            CFileItem& target = members[i];
            if (protectedFolders.Covers(target)) {
                continue;
            }
            const LinkResult result = ReplaceWithLink(kept, target, kind, run, journal);
            if (result.error == kJournalUnwritten) {
                ++totals.failures;
                totals.journalFailed = true;
                log << "Not replaced: " << target.path
                    << ": the command journal could not be written; stopped, as the "
                       "replacements could not be undone\n";
                return totals;
            }
            if (result.error == 0) {
                if (!result.alreadyLinked) {
                    FollowReplacement(target, result, records);
                    ++totals.replaced;
                    totals.reclaimed += result.reclaimed;
                    log << Verb(kind, run) << target.path << " -> " << kept.path << '\n';
                }
                continue;
            }
            if (result.keptFailed) {
                const auto left = static_cast<std::size_t>(
                    std::count_if(members.begin() + static_cast<std::ptrdiff_t>(i), members.end(),
                                  [&](const CFileItem& m) { return !protectedFolders.Covers(m); }));
                totals.failures += left;
                log << "Not replaced: " << left << (left == 1 ? " file" : " files")
                    << " of a group whose file to keep cannot be used: " << kept.path << ": "
                    << Reason(result.error, kind, kept) << '\n';
                break;
            }
            ++totals.failures;
            log << "Not replaced: " << target.path << ": " << Reason(result.error, kind, kept)
                << '\n';
        }
    }
    return totals;
}

void WriteLinkSummary(const LinkRunTotals& totals, LinkRun run, std::ostream& out) {
    const bool dry = run == LinkRun::DryRun;
    out << (dry ? "Files to replace: " : "Files replaced: ") << totals.replaced
        << (dry ? " , bytes to reclaim: " : " , bytes reclaimed: ") << totals.reclaimed
        << " , failures: " << totals.failures << '\n';
}

}  // namespace krelix
