#pragma once

#include <iterator>
#include <vector>

#include "engine/file_item.h"
#include "engine/result_map.h"

namespace krelix {

// Calls visit(first, last) for each key that two or more records of the map share: the sizes
// that call for hashing after the walk, the duplicate groups after the comparison. Keys come in
// the map's order; a multimap keeps the records of one key together.
template <typename Map, typename Visit>
void ForEachSharedKey(Map& map, Visit visit) {
    for (auto it = map.begin(); it != map.end();) {
        const auto [first, last] = map.equal_range(it->first);
        if (std::next(first) != last) {
            visit(first, last);
        }
        it = last;
    }
}

// The duplicate groups of a finished run, each group's members together.
std::vector<std::vector<const CFileItem*>> DuplicateGroups(const ResultMap& map);

// The same records moved out of the map, which is left empty (the next run empties it anyway).
std::vector<CFileItem> TakeDuplicateGroups(ResultMap& map);

}  // namespace krelix
