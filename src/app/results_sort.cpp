// Header sorting of the results list.
//
// Every column becomes one integer key per row (a rank for texts and group keys), so the sort
// itself compares integers. Ranks come from sorting the distinct texts once, each decoded and
// case-folded once: the order is that of comparing the folded texts, ties keep their row order.
#include <QString>
#include <algorithm>
#include <bit>
#include <functional>
#include <numeric>
#include <string_view>
#include <tuple>
#include <utility>

#include "app/results_model.h"

namespace krelix {
namespace {

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

// Eight UTF-16 units from the given place as two numbers, zeros past the end: most compares of
// distinct texts end there.
struct Prefix {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    auto operator<=>(const Prefix&) const = default;
};

Prefix PrefixAt(std::u16string_view text, std::size_t from) {
    Prefix prefix;
    for (std::size_t i = from; i < from + 8; ++i) {
        std::uint64_t& half = i < from + 4 ? prefix.high : prefix.low;
        half = (half << 16) | (i < text.size() ? text[i] : 0u);
    }
    return prefix;
}

// Each row's rank among the texts, and each rank's folded text. Rows whose texts fold to the
// same text share a rank.
struct TextRanks {
    std::vector<std::uint32_t> ofRow;
    std::vector<std::pair<std::size_t, std::size_t>> spans;  // offset and size in the buffer
    std::u16string buffer;

    std::size_t Count() const { return spans.size(); }
    std::u16string_view Folded(std::size_t rank) const {
        return std::u16string_view(buffer).substr(spans[rank].first, spans[rank].second);
    }
};

// The text as the list shows it (up to a NUL, decoded as QFile::decodeName does on Linux), case
// folded, appended to the buffer. ASCII, the common case, is folded here without a QString.
void AppendFolded(std::string_view bytes, std::u16string& buffer) {
    const std::string_view shown = bytes.substr(0, bytes.find('\0'));
    if (std::all_of(shown.begin(), shown.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        for (const char c : shown) {
            buffer.push_back(static_cast<char16_t>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
        }
        return;
    }
    const QString folded =
        QString::fromLocal8Bit(QByteArrayView(shown.data(), static_cast<qsizetype>(shown.size())))
            .toCaseFolded();
    buffer.append(reinterpret_cast<const char16_t*>(folded.utf16()),
                  static_cast<std::size_t>(folded.size()));
}

enum class Repeats { FromRowAbove, Anywhere };

// Folds each distinct text once: texts equal to the row above's always count as one, and with
// Repeats::Anywhere (few distinct texts, such as folders) every repeat does.
template <typename Text, typename Ahead>
TextRanks RankTexts(std::size_t rows, Text text, Repeats repeats, const Ahead& ahead) {
    std::vector<std::uint32_t> idOfRow(rows);
    std::vector<std::pair<std::size_t, std::size_t>> spans;  // offset and size in the buffer
    spans.reserve(repeats == Repeats::FromRowAbove ? rows : 0);
    TextRanks ranks;
    std::vector<std::uint32_t> slots;  // open addressing: id + 1, 0 is empty
    std::vector<std::string_view> bytesOf;
    if (repeats == Repeats::Anywhere) {
        std::size_t capacity = 16;
        while (capacity < rows * 2) {
            capacity *= 2;
        }
        slots.assign(capacity, 0);
    }
    const std::hash<std::string_view> hash;
    std::string_view previous;
    for (std::size_t i = 0; i < rows; ++i) {
        ahead(i);
        const std::string_view bytes = text(i);
        if (i > 0 && bytes == previous) {
            idOfRow[i] = idOfRow[i - 1];
            continue;
        }
        previous = bytes;
        std::uint32_t* slot = nullptr;
        if (!slots.empty()) {
            std::size_t at = hash(bytes) & (slots.size() - 1);
            while (slots[at] != 0 && bytesOf[slots[at] - 1] != bytes) {
                at = (at + 1) & (slots.size() - 1);
            }
            if (slots[at] != 0) {
                idOfRow[i] = slots[at] - 1;
                continue;
            }
            slot = &slots[at];
            bytesOf.push_back(bytes);
        }
        const std::size_t offset = ranks.buffer.size();
        AppendFolded(bytes, ranks.buffer);
        spans.emplace_back(offset, ranks.buffer.size() - offset);
        idOfRow[i] = static_cast<std::uint32_t>(spans.size() - 1);
        if (slot != nullptr) {
            *slot = static_cast<std::uint32_t>(spans.size());
        }
    }
    slots = {};
    const std::u16string_view all = ranks.buffer;
    const auto folded = [&](std::uint32_t id) {
        return all.substr(spans[id].first, spans[id].second);
    };

    // Texts often all start alike ("/home/", "img_"): the prefixes are taken after that start.
    std::size_t common = spans.empty() ? 0 : spans[0].second;
    for (std::uint32_t id = 0; id < spans.size(); ++id) {
        const std::u16string_view text = folded(id);
        common = std::min(common, text.size());
        while (common > 0 && text.substr(0, common) != folded(0).substr(0, common)) {
            --common;
        }
    }
    struct Entry {
        Prefix prefix;
        std::uint32_t id;
    };
    std::vector<Entry> entries(spans.size());
    for (std::uint32_t id = 0; id < spans.size(); ++id) {
        entries[id] = {PrefixAt(folded(id), common), id};
    }
    // By prefix alone first, which stays within the entries; then the few runs of one prefix by
    // their whole texts, which lie all over the buffer.
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.prefix < b.prefix; });
    for (std::size_t begin = 0; begin < entries.size();) {
        std::size_t end = begin + 1;
        while (end < entries.size() && entries[end].prefix == entries[begin].prefix) {
            ++end;
        }
        if (end - begin > 1) {
            std::sort(entries.begin() + static_cast<std::ptrdiff_t>(begin),
                      entries.begin() + static_cast<std::ptrdiff_t>(end),
                      [&](const Entry& a, const Entry& b) { return folded(a.id) < folded(b.id); });
        }
        begin = end;
    }

    std::vector<std::uint32_t> rankOfId(spans.size());
    std::vector<std::pair<std::size_t, std::size_t>> rankSpans;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::uint32_t id = entries[i].id;
        if (i == 0 || entries[i - 1].prefix != entries[i].prefix ||
            folded(entries[i - 1].id) != folded(id)) {
            rankSpans.push_back(spans[id]);
        }
        rankOfId[id] = static_cast<std::uint32_t>(rankSpans.size() - 1);
    }
    ranks.spans = std::move(rankSpans);
    ranks.ofRow.resize(rows);
    for (std::size_t i = 0; i < rows; ++i) {
        ranks.ofRow[i] = rankOfId[idOfRow[i]];
    }
    return ranks;
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

}  // namespace

std::vector<int> ResultsModel::SortedOrder(int column, Qt::SortOrder direction) const {
    const std::size_t n = rows_.size();
    const auto ahead = [this](std::size_t i) { FetchAhead(i); };
    std::vector<std::uint64_t> keys(n);
    switch (column) {
        case GroupColumn: {
            // By size, then by the key's bytes as they are. Members of a group mostly lie
            // together: each run of equal keys is placed once.
            struct Run {
                std::uint64_t size;
                std::uint64_t prefix;  // the first eight bytes, as memcmp orders them
                std::string_view key;
                std::uint32_t id;
                auto Tie() const { return std::tie(size, prefix, key); }
            };
            std::vector<Run> runs;
            std::vector<std::uint32_t> runOfRow(n);
            for (std::size_t i = 0; i < n; ++i) {
                ahead(i);
                const std::string_view key = rows_[i].record->groupKey;
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
            for (std::size_t i = 0; i < n; ++i) {
                keys[i] = place[runOfRow[i]];
            }
            break;
        }
        case NameColumn: {
            const TextRanks ranks = RankTexts(
                n, [this](std::size_t i) -> std::string_view { return rows_[i].record->name(); },
                Repeats::FromRowAbove, ahead);
            std::copy(ranks.ofRow.begin(), ranks.ofRow.end(), keys.begin());
            break;
        }
        case PathColumn:
            return PathOrder(direction);
        case SizeColumn:
            for (std::size_t i = 0; i < n; ++i) {
                if (i + 8 < n) {
                    __builtin_prefetch(rows_[i + 8].record);
                }
                keys[i] = rows_[i].record->size;
            }
            break;
        case TimeColumn:
            for (std::size_t i = 0; i < n; ++i) {
                // Signed to unsigned, order kept.
                if (i + 8 < n) {
                    __builtin_prefetch(rows_[i + 8].record);
                }
                keys[i] = static_cast<std::uint64_t>(rows_[i].record->modified) ^ (1ull << 63);
            }
            break;
        default: {
            std::vector<int> order(n);
            std::iota(order.begin(), order.end(), 0);
            return order;
        }
    }
    return OrderByKeys(keys, direction);
}

void ResultsModel::FetchAhead(std::size_t row) const {
    // Rows in list order seldom lie in memory order; a record and its texts are asked for a few
    // rows ahead of the loop reading them.
    constexpr std::size_t kAhead = 8;
    if (row + 2 * kAhead < rows_.size()) {
        __builtin_prefetch(rows_[row + 2 * kAhead].record);
    }
    if (row + kAhead < rows_.size()) {
        const CFileItem& record = *rows_[row + kAhead].record;
        __builtin_prefetch(record.path.data());
    }
}

std::vector<int> ResultsModel::PathOrder(Qt::SortOrder direction) const {
    // A path is its folder followed by its name, so folder and name are ranked apart (few
    // folders; names are ranked as for "File Name"). Two folders that are not one the start of
    // the other decide alone; otherwise the joined texts are compared.
    const std::size_t n = rows_.size();
    const auto splitAt = [this](std::size_t i) -> std::size_t {
        const CFileItem& r = *rows_[i].record;
        const std::size_t folder = r.path.size() - r.name().size();
        const bool split =
            folder > 0 && folder < r.path.size() && r.path.find('\0') == std::string::npos;
        return split ? folder : r.path.size();
    };
    // The records are read once; the passes after read only the paths.
    std::vector<std::string_view> paths(n);
    std::vector<std::uint32_t> folderEnd(n);
    bool plainNames = true;  // every path split, and no name holds a '/'
    for (std::size_t i = 0; i < n; ++i) {
        FetchAhead(i);
        folderEnd[i] = static_cast<std::uint32_t>(splitAt(i));
        paths[i] = rows_[i].record->path;
        plainNames = plainNames && folderEnd[i] < paths[i].size() &&
                     paths[i].find('/', folderEnd[i]) == std::string_view::npos;
    }
    const auto pathAhead = [&paths](std::size_t i) {
        if (i + 8 < paths.size()) {
            __builtin_prefetch(paths[i + 8].data());
        }
    };
    const TextRanks folders = RankTexts(
        n, [&](std::size_t i) { return paths[i].substr(0, folderEnd[i]); }, Repeats::Anywhere,
        pathAhead);
    const TextRanks names = RankTexts(
        n, [&](std::size_t i) { return paths[i].substr(folderEnd[i]); }, Repeats::FromRowAbove,
        pathAhead);
    // The folders that start with folder r have the ranks after r up to lastUnder[r].
    std::vector<std::uint32_t> lastUnder(folders.Count());
    for (std::size_t r = folders.Count(); r-- > 0;) {
        std::size_t last = r;
        while (last + 1 < folders.Count() &&
               folders.Folded(last + 1).starts_with(folders.Folded(r))) {
            last = lastUnder[last + 1];
        }
        lastUnder[r] = static_cast<std::uint32_t>(last);
    }
    if (plainNames) {
        const int folderBits = std::bit_width(folders.Count());
        const int nameBits = std::bit_width(names.Count());
        if (2 * folderBits + nameBits <= 64) {
            std::vector<std::uint64_t> keys(n);
            for (std::size_t i = 0; i < n; ++i) {
                const std::uint32_t folder = folders.ofRow[i];
                const std::uint32_t name = names.ofRow[i];
                keys[i] =
                    (std::uint64_t{AnchorOf(folders, folder, lastUnder[folder], names.Folded(name))}
                     << (folderBits + nameBits)) |
                    (std::uint64_t{folders.Count() - 1 - folder} << nameBits) | name;
            }
            return OrderByKeys(keys, direction);
        }
    }

    struct Key {
        std::uint32_t folder;
        std::uint32_t name;
        std::uint32_t row;
    };
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

void ResultsModel::sort(int column, Qt::SortOrder order) {
    // QTableView::sortByColumn asks twice, once for the header's new indicator and once more.
    if (column < 0 || column >= ColumnCount || rows_.size() < 2 ||
        sortedBy_ == std::pair(column, order)) {
        return;
    }
    const std::vector<int> sorted = SortedOrder(column, order);

    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOf(rows_.size());
    std::vector<Row> reordered;
    reordered.reserve(rows_.size());
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        newRowOf[static_cast<std::size_t>(sorted[i])] = static_cast<int>(i);
        reordered.push_back(rows_[static_cast<std::size_t>(sorted[i])]);
    }
    rows_ = std::move(reordered);
    Reshade(/*struckFromRecords=*/false);

    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before) {
        after.push_back(
            this->index(newRowOf[static_cast<std::size_t>(index.row())], index.column()));
    }
    changePersistentIndexList(before, after);
    sortedBy_ = std::pair(column, order);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace krelix
