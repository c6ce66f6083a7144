#include "app/results/row_order.h"

#include <algorithm>
#include <bit>
#include <functional>
#include <numeric>
#include <optional>
#include <string_view>
#include <tuple>
#include <utility>

#include "app/results/text_ranks.h"

namespace krelix {
namespace {

using Records = std::vector<const CFileItem*>;

// The size part of a group key: its leading decimal digits.
std::uint64_t LeadingNumber(std::string_view text) {
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value;
}

// Rows in list order seldom lie in memory order; a record and its texts are asked for a few rows
// ahead of the loop reading them.
void FetchAhead(const Records& records, std::size_t row) {
    constexpr std::size_t kAhead = 8;
    if (row + 2 * kAhead < records.size()) {
        __builtin_prefetch(records[row + 2 * kAhead]);
    }
    if (row + kAhead < records.size()) {
        __builtin_prefetch(records[row + kAhead]->path.data());
    }
}

// Compares the joined texts a1 + a2 and b1 + b2 unit by unit, as QString's < would.
int CompareJoined(std::u16string_view a1, std::u16string_view a2, std::u16string_view b1,
                  std::u16string_view b2) {
    const std::size_t aSize = a1.size() + a2.size();
    const std::size_t bSize = b1.size() + b2.size();
    for (std::size_t i = 0; i < std::min(aSize, bSize); ++i) {
        const char16_t a = i < a1.size() ? a1[i] : a2[i - a1.size()];
        const char16_t b = i < b1.size() ? b1[i] : b2[i - b1.size()];
        if (a != b) {
            return a < b ? -1 : 1;
        }
    }
    return aSize < bSize ? -1 : (aSize > bSize ? 1 : 0);
}

// Where folder + name falls among the sorted folders: the rank of the last folder not after it.
// With folders ending in '/' and names without one, the path order is then by that anchor, then
// deeper folders first (an ancestor's name that passed the anchor differs from the rest of the
// anchor's text before it ends, so it is after everything within the anchor), then by name.
// Only folders starting with this one can lie between it and the path.
std::uint32_t AnchorOf(const TextRanks& folders, std::uint32_t folder, std::uint32_t lastUnder,
                       std::u16string_view name) {
    const std::size_t start = folders.Folded(folder).size();
    std::uint32_t low = folder;  // not after the path
    std::uint32_t high = lastUnder + 1;
    while (high - low > 1) {
        const std::uint32_t mid = low + (high - low) / 2;
        if (folders.Folded(mid).substr(start) <= name) {
            low = mid;
        } else {
            high = mid;
        }
    }
    return low;
}

// Row order by ascending key (descending when asked); equal keys keep their row order. A least
// significant digit radix sort, stable, with a pass per 11 bits of the keys' spread: ranks and
// sizes need two or three passes where a comparison sort needs twenty.
std::vector<int> OrderByKeys(std::vector<std::uint64_t>& keys, Qt::SortOrder direction) {
    const std::size_t n = keys.size();
    if (n == 0) {
        return {};
    }
    const auto [lowest, highest] = std::minmax_element(keys.begin(), keys.end());
    const std::uint64_t low = *lowest;
    const std::uint64_t high = *highest;
    struct Entry {
        std::uint64_t key;
        std::uint32_t row;
    };
    std::vector<Entry> entries(n);
    for (std::size_t i = 0; i < n; ++i) {
        entries[i] = {direction == Qt::AscendingOrder ? keys[i] - low : high - keys[i],
                      static_cast<std::uint32_t>(i)};
    }
    constexpr int kDigitBits = 11;
    constexpr std::uint64_t kDigitMask = (1u << kDigitBits) - 1;
    std::vector<Entry> scratch(n);
    std::vector<std::uint32_t> starts(std::size_t{1} << kDigitBits);
    const int bits = std::bit_width(high - low);
    for (int shift = 0; shift < bits; shift += kDigitBits) {
        std::fill(starts.begin(), starts.end(), 0u);
        for (const Entry& entry : entries) {
            ++starts[(entry.key >> shift) & kDigitMask];
        }
        std::uint32_t start = 0;
        for (std::uint32_t& count : starts) {
            start += std::exchange(count, start);
        }
        for (const Entry& entry : entries) {
            scratch[starts[(entry.key >> shift) & kDigitMask]++] = entry;
        }
        entries.swap(scratch);
    }
    std::vector<int> order(n);
    for (std::size_t i = 0; i < n; ++i) {
        order[i] = static_cast<int>(entries[i].row);
    }
    return order;
}

// By size, then by the key's bytes as they are. Members of a group mostly lie together: each run
// of equal keys is placed once.
std::vector<std::uint64_t> GroupKeyRanks(const Records& records) {
    struct Run {
        std::uint64_t size;
        std::uint64_t prefix;  // the first eight bytes, as memcmp orders them
        std::string_view key;
        std::uint32_t id;
        auto Tie() const { return std::tie(size, prefix, key); }
    };
    const std::size_t n = records.size();
    std::vector<Run> runs;
    std::vector<std::uint32_t> runOfRow(n);
    for (std::size_t i = 0; i < n; ++i) {
        FetchAhead(records, i);
        const std::string_view key = records[i]->groupKey;
        if (runs.empty() || runs.back().key != key) {
            std::uint64_t prefix = 0;
            for (std::size_t b = 0; b < 8; ++b) {
                prefix = (prefix << 8) | (b < key.size() ? std::uint8_t(key[b]) : 0u);
            }
            runs.push_back(
                {LeadingNumber(key), prefix, key, static_cast<std::uint32_t>(runs.size())});
        }
        runOfRow[i] = runs.back().id;
    }
    std::sort(runs.begin(), runs.end(),
              [](const Run& a, const Run& b) { return a.Tie() < b.Tie(); });
    std::vector<std::uint64_t> place(runs.size());
    std::uint64_t rank = 0;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        rank += i > 0 && runs[i - 1].key != runs[i].key ? 1 : 0;
        place[runs[i].id] = rank;
    }
    std::vector<std::uint64_t> keys(n);
    for (std::size_t i = 0; i < n; ++i) {
        keys[i] = place[runOfRow[i]];
    }
    return keys;
}

// A number per row that orders as the column's values: signed times keep their order.
template <typename Value>
std::vector<std::uint64_t> NumberKeys(const Records& records, Value value) {
    std::vector<std::uint64_t> keys(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (i + 8 < records.size()) {
            __builtin_prefetch(records[i + 8]);
        }
        keys[i] = value(*records[i]);
    }
    return keys;
}

// Each row's path and where its name begins, read once from the records; plainNames when every
// path splits and no name holds a '/'.
struct SplitPaths {
    std::vector<std::string_view> paths;
    std::vector<std::uint32_t> folderEnd;
    bool plainNames = true;
};

SplitPaths SplitRecords(const Records& records) {
    SplitPaths split;
    split.paths.resize(records.size());
    split.folderEnd.resize(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        FetchAhead(records, i);
        const CFileItem& r = *records[i];
        const std::size_t folder = r.path.size() - r.name().size();
        const bool splits =
            folder > 0 && folder < r.path.size() && r.path.find('\0') == std::string::npos;
        const std::string_view path = r.path;
        split.folderEnd[i] = static_cast<std::uint32_t>(splits ? folder : r.path.size());
        split.paths[i] = path;
        split.plainNames = split.plainNames && split.folderEnd[i] < path.size() &&
                           path.find('/', split.folderEnd[i]) == std::string_view::npos;
    }
    return split;
}

// The folders that start with folder r have the ranks after r up to lastUnder[r].
std::vector<std::uint32_t> LastUnder(const TextRanks& folders) {
    std::vector<std::uint32_t> lastUnder(folders.Count());
    for (std::size_t r = folders.Count(); r-- > 0;) {
        std::size_t last = r;
        while (last + 1 < folders.Count() &&
               folders.Folded(last + 1).starts_with(folders.Folded(r))) {
            last = lastUnder[last + 1];
        }
        lastUnder[r] = static_cast<std::uint32_t>(last);
    }
    return lastUnder;
}

// With plain names, one integer per row orders the paths (see AnchorOf), when it fits.
std::optional<std::vector<std::uint64_t>> PackedPathKeys(
    const TextRanks& folders, const TextRanks& names, const std::vector<std::uint32_t>& lastUnder) {
    const int folderBits = std::bit_width(folders.Count());
    const int nameBits = std::bit_width(names.Count());
    if (2 * folderBits + nameBits > 64) {
        return std::nullopt;
    }
    std::vector<std::uint64_t> keys(folders.ofRow.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::uint32_t folder = folders.ofRow[i];
        const std::uint32_t name = names.ofRow[i];
        keys[i] = (std::uint64_t{AnchorOf(folders, folder, lastUnder[folder], names.Folded(name))}
                   << (folderBits + nameBits)) |
                  (std::uint64_t{folders.Count() - 1 - folder} << nameBits) | name;
    }
    return keys;
}

// Two folders that are not one the start of the other decide alone; otherwise the joined texts
// are compared.
std::vector<int> ComparedPathOrder(const TextRanks& folders, const TextRanks& names,
                                   const std::vector<std::uint32_t>& lastUnder,
                                   Qt::SortOrder direction) {
    struct Key {
        std::uint32_t folder;
        std::uint32_t name;
        std::uint32_t row;
    };
    const std::size_t n = folders.ofRow.size();
    std::vector<Key> order(n);
    for (std::size_t i = 0; i < n; ++i) {
        order[i] = {folders.ofRow[i], names.ofRow[i], static_cast<std::uint32_t>(i)};
    }
    const auto compare = [&](const Key& a, const Key& b) -> int {
        if (a.folder == b.folder) {
            return a.name == b.name ? 0 : (a.name < b.name ? -1 : 1);
        }
        const bool related =
            a.folder < b.folder ? b.folder <= lastUnder[a.folder] : a.folder <= lastUnder[b.folder];
        if (!related) {
            return a.folder < b.folder ? -1 : 1;
        }
        return CompareJoined(folders.Folded(a.folder), names.Folded(a.name),
                             folders.Folded(b.folder), names.Folded(b.name));
    };
    std::sort(order.begin(), order.end(), [&](const Key& a, const Key& b) {
        const int c = compare(a, b);
        if (c != 0) {
            return direction == Qt::AscendingOrder ? c < 0 : c > 0;
        }
        return a.row < b.row;
    });
    std::vector<int> rows(n);
    for (std::size_t i = 0; i < n; ++i) {
        rows[i] = static_cast<int>(order[i].row);
    }
    return rows;
}

// A path is its folder followed by its name, so folder and name are ranked apart (few folders;
// names are ranked as for "File Name").
std::vector<int> PathOrder(const Records& records, Qt::SortOrder direction) {
    const SplitPaths split = SplitRecords(records);
    const std::size_t n = records.size();
    const auto pathAhead = [&split](std::size_t i) {
        if (i + 8 < split.paths.size()) {
            __builtin_prefetch(split.paths[i + 8].data());
        }
    };
    const TextRanks folders = RankTexts(
        n, [&](std::size_t i) { return split.paths[i].substr(0, split.folderEnd[i]); },
        Repeats::Anywhere, pathAhead);
    const TextRanks names = RankTexts(
        n, [&](std::size_t i) { return split.paths[i].substr(split.folderEnd[i]); },
        Repeats::FromRowAbove, pathAhead);
    const std::vector<std::uint32_t> lastUnder = LastUnder(folders);
    if (split.plainNames) {
        if (std::optional<std::vector<std::uint64_t>> keys =
                PackedPathKeys(folders, names, lastUnder)) {
            return OrderByKeys(*keys, direction);
        }
    }
    return ComparedPathOrder(folders, names, lastUnder, direction);
}

}  // namespace

std::vector<int> OrderRows(const Records& records, RowColumn column, Qt::SortOrder direction) {
    std::vector<std::uint64_t> keys;
    switch (column) {
        case RowColumn::Group:
            keys = GroupKeyRanks(records);
            break;
        case RowColumn::Name: {
            const TextRanks ranks = RankTexts(
                records.size(), [&](std::size_t i) { return records[i]->name(); },
                Repeats::FromRowAbove, [&](std::size_t i) { FetchAhead(records, i); });
            keys.assign(ranks.ofRow.begin(), ranks.ofRow.end());
            break;
        }
        case RowColumn::Path:
            return PathOrder(records, direction);
        case RowColumn::Size:
            keys = NumberKeys(records, [](const CFileItem& r) { return r.size; });
            break;
        case RowColumn::Time:
            keys = NumberKeys(records, [](const CFileItem& r) {
                return static_cast<std::uint64_t>(r.modified) ^ (1ull << 63);
            });
            break;
    }
    return OrderByKeys(keys, direction);
}

}  // namespace krelix
