// The comparison's end: group keys for the files read whole, and their records.
#include <algorithm>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/comparison.h"
#include "engine/comparison_parts.h"
#include "engine/file_crc.h"

namespace krelix {

// Files of one size whose CRC agrees but whose content does not are told apart by the strong
// hash; the later group gets "-2", "-3", ... after its key, so that keys stay unique and such
// files never form a group.
std::vector<std::uint32_t> Comparison::ContentSuffixes() const {
    struct Keyed {
        std::uint32_t crc;
        StrongHash strong;
        std::uint32_t index;
    };
    std::vector<Keyed> keyed;
    std::vector<std::uint32_t> suffix(candidates_.size(), 0);
    ForEachSizeBucket(candidates_, [&](std::size_t begin, std::size_t end) {
        keyed.clear();
        for (std::size_t i = begin; i < end; ++i) {
            if (candidates_[i].state == Candidate::State::Whole) {
                keyed.push_back(
                    {candidates_[i].crc, candidates_[i].strong, static_cast<std::uint32_t>(i)});
            }
        }
        std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
            return std::tie(a.crc, a.strong, a.index) < std::tie(b.crc, b.strong, b.index);
        });
        // Within one CRC, the contents in the order of their first file.
        for (std::size_t k = 0; k < keyed.size();) {
            std::size_t crcEnd = k;
            std::vector<std::pair<std::uint32_t, std::size_t>> contents;  // first index, start
            while (crcEnd < keyed.size() && keyed[crcEnd].crc == keyed[k].crc) {
                if (crcEnd == k || !(keyed[crcEnd].strong == keyed[crcEnd - 1].strong)) {
                    contents.emplace_back(keyed[crcEnd].index, crcEnd);
                }
                ++crcEnd;
            }
            if (contents.size() > 1) {
                std::sort(contents.begin(), contents.end());
                for (std::size_t rank = 1; rank < contents.size(); ++rank) {
                    for (std::size_t j = contents[rank].second;
                         j < crcEnd && keyed[j].strong == keyed[contents[rank].second].strong;
                         ++j) {
                        suffix[keyed[j].index] = static_cast<std::uint32_t>(rank + 1);
                    }
                }
            }
            k = crcEnd;
        }
    });
    return suffix;
}

ResultMap Comparison::AssignGroupKeys() {
    std::vector<std::uint32_t> suffix = ContentSuffixes();
    // The map's records are the run's largest structure: the candidates and the walk's table
    // go before it grows, the table part by part as its files become records.
    struct Whole {
        std::uint32_t index;
        std::uint32_t crc;
        std::uint32_t suffix;
    };
    std::vector<Whole> wholes;
    wholes.reserve(static_cast<std::size_t>(std::count_if(
        candidates_.begin(), candidates_.end(),
        [](const Candidate& candidate) { return candidate.state == Candidate::State::Whole; })));
    for (std::size_t i = 0; i < candidates_.size(); ++i) {
        const Candidate& candidate = candidates_[i];
        if (candidate.state == Candidate::State::Whole) {
            wholes.push_back({candidate.index, candidate.crc, suffix[i]});
        }
    }
    std::vector<Candidate>().swap(candidates_);
    std::vector<std::uint32_t>().swap(suffix);
    // The table's front can go only while files are taken in its order: none before is asked again.
    const bool walkOrder =
        std::is_sorted(wholes.begin(), wholes.end(),
                       [](const Whole& a, const Whole& b) { return a.index < b.index; });
    ResultMap groups;
    groups.reserve(wholes.size());
    for (const Whole& whole : wholes) {
        CFileItem item = source_->TakeItem(whole.index);
        if (walkOrder) {
            source_->ReleaseBefore(whole.index);
        }
        item.groupKey = MakeGroupKey(item.size, CrcText(whole.crc));
        if (whole.suffix != 0) {
            item.groupKey += '-' + std::to_string(whole.suffix);
        }
        std::string key = item.groupKey;
        groups.emplace(std::move(key), std::move(item));
    }
    return groups;
}

}  // namespace krelix
