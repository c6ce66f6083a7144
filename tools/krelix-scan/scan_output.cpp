#include "scan_output.h"

#include <algorithm>
#include <ctime>
#include <vector>

#include "engine/duplicate_groups.h"

namespace krelix {

namespace {

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
            } else {
                out << CsvField(item->groupKey) << ',' << CsvField(item->name) << ','
                    << CsvField(item->path) << ',' << item->size << ','
                    << CsvField(ModifiedTimeText(item->modified)) << "\r\n";
            }
            ++written;
        }
        if (format == OutputFormat::Paths) {
            out << '\n';
        }
    }
    return written;
}

}  // namespace krelix
