// Header sorting of the results list.
#include <QFile>
#include <algorithm>
#include <numeric>

#include "app/results_model.h"

namespace krelix {
namespace {

// The size part of a group key: its leading decimal digits.
std::uint64_t LeadingNumber(const std::string& text) {
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value;
}

template <typename Less>
void StableOrder(std::vector<int>& order, Qt::SortOrder direction, Less less) {
    if (direction == Qt::AscendingOrder) {
        std::stable_sort(order.begin(), order.end(), less);
    } else {
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return less(b, a); });
    }
}

}  // namespace

std::vector<int> ResultsModel::SortedOrder(int column, Qt::SortOrder direction) const {
    std::vector<int> order(rows_.size());
    std::iota(order.begin(), order.end(), 0);
    const auto record = [this](int row) -> const CFileItem& {
        return *rows_[static_cast<std::size_t>(row)].record;
    };
    switch (column) {
        case GroupColumn: {
            std::vector<std::uint64_t> sizes(rows_.size());
            for (std::size_t i = 0; i < rows_.size(); ++i) {
                sizes[i] = LeadingNumber(rows_[i].record->groupKey);
            }
            StableOrder(order, direction, [&](int a, int b) {
                const auto sa = sizes[static_cast<std::size_t>(a)];
                const auto sb = sizes[static_cast<std::size_t>(b)];
                return sa != sb ? sa < sb : record(a).groupKey < record(b).groupKey;
            });
            break;
        }
        case NameColumn:
        case PathColumn: {
            // Folded once per row: comparing folded texts is what a case-insensitive compare
            // does on every call.
            std::vector<QString> keys(rows_.size());
            for (std::size_t i = 0; i < rows_.size(); ++i) {
                const std::string& text =
                    column == NameColumn ? rows_[i].record->name : rows_[i].record->path;
                keys[i] = QFile::decodeName(text.c_str()).toCaseFolded();
            }
            StableOrder(order, direction, [&](int a, int b) {
                return keys[static_cast<std::size_t>(a)] < keys[static_cast<std::size_t>(b)];
            });
            break;
        }
        case SizeColumn:
            StableOrder(order, direction,
                        [&](int a, int b) { return record(a).size < record(b).size; });
            break;
        case TimeColumn:
            StableOrder(order, direction,
                        [&](int a, int b) { return record(a).modified < record(b).modified; });
            break;
        default:
            break;
    }
    return order;
}

void ResultsModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ColumnCount || rows_.size() < 2) {
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
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace krelix
