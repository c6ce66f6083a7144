#include "app/search/search_notes.h"

#include <algorithm>

#include "settings/ui/search_option.h"

namespace krelix {
namespace {

QString SettingText(SkipRule rule) {
    const std::uint32_t flag = SkipRuleFlag(rule);
    if (flag == 0) {
        return QStringLiteral("\"Exclude from Search\" lists it");
    }
    const auto options = SearchOptions();
    const auto option = std::find_if(options.begin(), options.end(),
                                     [flag](const SearchOption& o) { return o.flag == flag; });
    const QString name = option != options.end() ? QString::fromUtf8(option->text)
                                                 : QStringLiteral("0x%1").arg(flag, 0, 16);
    return QStringLiteral("\"%1\" is on").arg(name);
}

}  // namespace

QStringList SearchNotes(const std::vector<SkippedStartFolder>& skipped,
                        std::int32_t unreadableFiles, std::int32_t unreadableFolders) {
    QStringList notes;
    for (const SkippedStartFolder& entry : skipped) {
        // A folder named by bytes that are not UTF-8 shows them as U+FFFD.
        notes << QStringLiteral("%1 was not searched: %2 (%3).")
                     .arg(QString::fromUtf8(entry.folder.data(),
                                            static_cast<qsizetype>(entry.folder.size())),
                          QString::fromUtf8(SkipRuleReason(entry.rule)), SettingText(entry.rule));
    }
    if (unreadableFiles > 0) {
        notes << (unreadableFiles == 1
                      ? QStringLiteral("1 file could not be read.")
                      : QStringLiteral("%1 files could not be read.").arg(unreadableFiles));
    }
    if (unreadableFolders > 0) {
        notes << (unreadableFolders == 1
                      ? QStringLiteral("1 folder could not be read.")
                      : QStringLiteral("%1 folders could not be read.").arg(unreadableFolders));
    }
    return notes;
}

}  // namespace krelix
