#include "scan_output.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "engine/duplicate_groups.h"
#include "settings/ui/search_option.h"

namespace krelix {

using Group = std::vector<const CFileItem*>;

std::vector<Group> SortedGroups(const ScanResults& results) {
    std::vector<Group> groups = DuplicateGroups(results);
    for (Group& g : groups) {
        std::sort(g.begin(), g.end(),
                  [](const CFileItem* a, const CFileItem* b) { return a->path < b->path; });
    }
    std::sort(groups.begin(), groups.end(),
              [](const Group& a, const Group& b) { return a.front()->path < b.front()->path; });
    return groups;
}

namespace {

// The setting behind a rule, named as the settings dialog's check box and as its --flags bit.
std::string SettingText(SkipRule rule) {
    const std::uint32_t flag = SkipRuleFlag(rule);
    if (flag == 0) {
        return "--exclude names it";
    }
    char bit[16];
    std::snprintf(bit, sizeof bit, "0x%X", static_cast<unsigned>(flag));
    const auto options = SearchOptions();
    const auto option = std::find_if(options.begin(), options.end(),
                                     [flag](const SearchOption& o) { return o.flag == flag; });
    if (option == options.end()) {
        return std::string(bit) + " is set in --flags";
    }
    return '"' + std::string(option->text) + "\" is on: " + bit + " in --flags";
}

void WriteCount(std::int32_t count, const char* one, const char* many, std::ostream& out) {
    if (count > 0) {
        out << count << ' ' << (count == 1 ? one : many) << " could not be read.\n";
    }
}

}  // namespace

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') {
            quoted.push_back('"');
        }
        quoted.push_back(c);
    }
    quoted.push_back('"');
    return quoted;
}

std::string ModifiedTimeText(std::int64_t seconds) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (localtime_r(&time, &local) == nullptr) {
        return {};
    }
    char text[128];
    const std::size_t n = std::strftime(text, sizeof text, "%A, %B %d, %Y %H:%M:%S", &local);
    return std::string(text, n);
}

std::size_t WriteDuplicateGroups(const ScanResults& results, OutputFormat format,
                                 std::ostream& out) {
    std::size_t written = 0;
    for (const Group& group : SortedGroups(results)) {
        for (const CFileItem* item : group) {
            if (format == OutputFormat::Paths) {
                out << item->path << '\n';
            } else if (format == OutputFormat::NulPaths) {
                out << item->path << '\0';
            } else {
                out << CsvField(item->groupKey) << ',' << CsvField(item->name()) << ','
                    << CsvField(item->path) << ',' << item->size << ','
                    << CsvField(ModifiedTimeText(item->modified)) << "\r\n";
            }
            ++written;
        }
        if (format == OutputFormat::Paths) {
            out << '\n';
        } else if (format == OutputFormat::NulPaths) {
            out << '\0';
        }
    }
    return written;
}

void WriteScanSummary(const SearchRequest& request, std::ostream& out) {
    out << "Files scanned: " << request.filesScanned << " , duplicates: " << request.duplicatesFound
        << " \n";
    for (const SkippedStartFolder& skipped : request.skippedStartFolders) {
        out << skipped.folder << " was not searched: " << SkipRuleReason(skipped.rule) << " ("
            << SettingText(skipped.rule) << ").\n";
    }
    WriteCount(request.unreadableFiles, "file", "files", out);
    WriteCount(request.unreadableFolders, "folder", "folders", out);
    std::vector<std::string> paths = request.unreadablePaths;
    std::sort(paths.begin(), paths.end());
    for (const std::string& path : paths) {
        out << "Could not read: " << path << '\n';
    }
}

}  // namespace krelix
