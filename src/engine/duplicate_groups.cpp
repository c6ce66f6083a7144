#include "engine/duplicate_groups.h"

namespace krelix {

std::vector<std::vector<const CFileItem*>> DuplicateGroups(const ResultMap& map) {
    std::vector<std::vector<const CFileItem*>> groups;
    ForEachSharedKey(map, [&](auto first, auto last) {
        std::vector<const CFileItem*>& group = groups.emplace_back();
        for (auto member = first; member != last; ++member) {
            group.push_back(&member->second);
        }
    });
    return groups;
}

std::vector<CFileItem> TakeDuplicateGroups(ResultMap& map) {
    // Sized exactly: the window keeps this very table for as long as it lists the results.
    std::size_t shared = 0;
    ForEachSharedKey(map, [&](auto first, auto last) {
        shared += static_cast<std::size_t>(std::distance(first, last));
    });
    std::vector<CFileItem> records;
    records.reserve(shared);
    ForEachSharedKey(map, [&](auto first, auto last) {
        for (auto member = first; member != last; ++member) {
            records.push_back(std::move(member->second));
        }
    });
    map.clear();
    return records;
}

}  // namespace krelix
