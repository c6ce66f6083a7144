#include "app/results/results_model.h"

#include <QGuiApplication>
#include <QIcon>
#include <algorithm>

#include "app/results/result_cells.h"
#include "app/results/row_order.h"
#include "app/results/use_sh_get_file_info.h"
#include "common/ui/file_name_text.h"
#include "common/ui/locale_time_text.h"

namespace krelix {

ResultsModel::ResultsModel(QObject* parent) : QAbstractTableModel(parent) {
    SetStruckFont(QGuiApplication::font());
}

ResultsModel::~ResultsModel() = default;

int ResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ResultsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !IsValidRow(index.row())) {
        return {};
    }
    const Row& row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            return CellText(*row.record, index.column());
        case Qt::ToolTipRole:
            return CellText(*row.record, index.column()) + LinkNote(row.linked);
        case Qt::CheckStateRole:
            if (index.column() == GroupColumn) {
                return row.checked ? Qt::Checked : Qt::Unchecked;
            }
            return {};
        case Qt::DecorationRole:
            if (index.column() == GroupColumn && icons_ != nullptr) {
                return icons_->IconForName(DecodeFileName(row.record->name()));
            }
            return {};
        case RecordRole:
            return QVariant::fromValue(static_cast<void*>(row.record));
        case ShadedRole:
            return row.shaded;
        case StruckRole:
            return row.struck;
        case LinkedRole:
            return int(row.linked);
        default:
            return MarkData({row.shaded, row.struck, row.linked},
                            {colourMarking_, fontMarking_, &struckFont_}, role);
    }
}

bool ResultsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !index.isValid() || index.column() != GroupColumn ||
        !IsValidRow(index.row())) {
        return false;
    }
    SetChecked(index.row(), value.value<Qt::CheckState>() == Qt::Checked);
    return true;
}

Qt::ItemFlags ResultsModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (index.column() == GroupColumn) {
        flags |= Qt::ItemIsUserCheckable;
    }
    return flags;
}

QVariant ResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) {
        return {};
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return role == Qt::DisplayRole ? ColumnTitle(section) : QVariant();
}

void ResultsModel::AppendRecords(std::span<CFileItem* const> records) {
    if (records.empty()) {
        return;
    }
    sortedBy_.reset();
    const int first = static_cast<int>(rows_.size());
    beginInsertRows({}, first, first + static_cast<int>(records.size()) - 1);
    // A filling appends batch after batch: room doubles rather than growing by one batch.
    if (rows_.capacity() - rows_.size() < records.size()) {
        rows_.reserve(std::max(rows_.size() + records.size(), 2 * rows_.capacity()));
    }
    for (CFileItem* record : records) {
        record->rowIndex = static_cast<std::int32_t>(rows_.size());
        rows_.push_back(Row{record});
    }
    endInsertRows();
}

void ResultsModel::AppendRecord(CFileItem* record) {
    AppendRecords(std::span(&record, 1));
}

void ResultsModel::RemoveRowsWhere(
    const std::function<bool(int row, CFileItem& record)>& predicate) {
    // The predicate sees every row under its index before any row goes; then each run of doomed
    // rows leaves in one removal, from the end, so that the indexes still to come stay valid.
    sortedBy_.reset();
    std::vector<char> doomed(rows_.size(), 0);
    std::size_t runs = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        doomed[i] = predicate(static_cast<int>(i), *rows_[i].record) ? 1 : 0;
        runs += doomed[i] && (i == 0 || !doomed[i - 1]) ? 1 : 0;
    }
    // Each removal costs the vector and the views a pass over the rows; thousands of scattered
    // rows out of a big list (every other row, say) would take minutes, one reset takes a pass.
    constexpr std::size_t kIncrementalBudget = 20'000'000;
    if (runs * rows_.size() > kIncrementalBudget) {
        beginResetModel();
        std::size_t kept = 0;
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            if (!doomed[i]) {
                rows_[kept++] = rows_[i];
            }
        }
        rows_.resize(kept);
        endResetModel();
        return;
    }
    for (std::size_t end = rows_.size(); end > 0;) {
        if (!doomed[end - 1]) {
            --end;
            continue;
        }
        std::size_t begin = end - 1;
        while (begin > 0 && doomed[begin - 1]) {
            --begin;
        }
        beginRemoveRows({}, static_cast<int>(begin), static_cast<int>(end) - 1);
        rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(begin),
                    rows_.begin() + static_cast<std::ptrdiff_t>(end));
        endRemoveRows();
        end = begin;
    }
}

void ResultsModel::Clear() {
    beginResetModel();
    sortedBy_.reset();
    rows_.clear();
    rows_.shrink_to_fit();
    RestartShading();
    endResetModel();
}

CFileItem* ResultsModel::RecordAt(int row) const {
    return RowIf(row) != nullptr ? RowIf(row)->record : nullptr;
}

std::vector<CFileItem*> ResultsModel::RowRecords() const {
    std::vector<CFileItem*> records;
    records.reserve(rows_.size());
    for (const Row& row : rows_) {
        records.push_back(row.record);
    }
    return records;
}

bool ResultsModel::IsChecked(int row) const {
    return RowIf(row) != nullptr && RowIf(row)->checked;
}

void ResultsModel::SetChecked(int row, bool checked) {
    if (!IsValidRow(row) || rows_[static_cast<std::size_t>(row)].checked == checked) {
        return;
    }
    rows_[static_cast<std::size_t>(row)].checked = checked;
    const QModelIndex cell = index(row, GroupColumn);
    Q_EMIT dataChanged(cell, cell, {Qt::CheckStateRole});
}

void ResultsModel::SetRowsChecked(std::span<const int> rows, bool checked) {
    int top = rowCount();
    int bottom = -1;
    for (const int row : rows) {
        if (IsValidRow(row) && rows_[static_cast<std::size_t>(row)].checked != checked) {
            rows_[static_cast<std::size_t>(row)].checked = checked;
            top = std::min(top, row);
            bottom = std::max(bottom, row);
        }
    }
    if (bottom >= 0) {
        Q_EMIT dataChanged(index(top, GroupColumn), index(bottom, GroupColumn),
                           {Qt::CheckStateRole});
    }
}

void ResultsModel::SetAllChecked(const std::function<bool(int row, bool checked)>& rule) {
    if (rows_.empty()) {
        return;
    }
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        rows_[i].checked = rule(static_cast<int>(i), rows_[i].checked);
    }
    Q_EMIT dataChanged(index(0, GroupColumn), index(rowCount() - 1, GroupColumn),
                       {Qt::CheckStateRole});
}

std::vector<CFileItem*> ResultsModel::CheckedRecords() const {
    std::vector<CFileItem*> checked;
    for (const Row& row : rows_) {
        if (row.checked) {
            checked.push_back(row.record);
        }
    }
    return checked;
}

void ResultsModel::SetRowShaded(int row, bool redraw) {
    if (Row* marked = RowIf(row)) {
        marked->shaded = true;
        if (redraw) {
            RefreshRow(row);
        }
    }
}

void ResultsModel::SetRowStruck(int row) {
    if (Row* marked = RowIf(row)) {
        marked->struck = true;
        RefreshRow(row);
    }
}

void ResultsModel::ClearRowMarks() {
    for (Row& row : rows_) {
        row.shaded = false;
        row.struck = false;
    }
}

void ResultsModel::SetRowLinked(int row, LinkKind kind) {
    if (Row* marked = RowIf(row)) {
        marked->linked = static_cast<std::uint8_t>(1 + int(kind));
        RefreshRow(row);
    }
}

void ResultsModel::ClearRowLinked(int row) {
    if (Row* marked = RowIf(row)) {
        marked->linked = 0;
        RefreshRow(row);
    }
}

std::optional<LinkKind> ResultsModel::RowLink(int row) const {
    const Row* marked = RowIf(row);
    return marked != nullptr && marked->linked != 0
               ? std::optional(static_cast<LinkKind>(marked->linked - 1))
               : std::nullopt;
}

bool ResultsModel::IsRowShaded(int row) const {
    return RowIf(row) != nullptr && RowIf(row)->shaded;
}

bool ResultsModel::IsRowStruck(int row) const {
    return RowIf(row) != nullptr && RowIf(row)->struck;
}

void ResultsModel::RestripeGroups() {
    Reshade(/*struckFromRecords=*/true);
    RedrawAll();
}

void ResultsModel::ShadeAppendedRows(int firstRow) {
    for (std::size_t i = static_cast<std::size_t>(std::max(firstRow, 0)); i < rows_.size(); ++i) {
        rows_[i].shaded = stripes_.Next(rows_[i].record->groupKey);
    }
    stripes_.Settle();
}

void ResultsModel::RestartShading() {
    stripes_.Restart();
}

void ResultsModel::Reshade(bool struckFromRecords) {
    // One pass over the records, which after a sort lie all over memory: each is fetched ahead.
    RestartShading();
    constexpr std::size_t kAhead = 8;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (i + kAhead < rows_.size()) {
            __builtin_prefetch(rows_[i + kAhead].record);
        }
        Row& row = rows_[i];
        CFileItem& record = *row.record;
        row.shaded = stripes_.Next(record.groupKey);
        if (struckFromRecords) {
            row.struck = record.deleted != 0;
        }
        record.rowIndex = static_cast<std::int32_t>(i);
    }
    stripes_.Settle();
}

void ResultsModel::RedrawAll() {
    sortedBy_.reset();
    if (!rows_.empty()) {
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
    }
}

void ResultsModel::RefreshRow(int row) {
    sortedBy_.reset();
    if (IsValidRow(row)) {
        Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
    }
}

void ResultsModel::SetColourMarking(bool on) {
    colourMarking_ = on;
    RedrawAll();
}

void ResultsModel::SetFontMarking(bool on) {
    fontMarking_ = on;
    RedrawAll();
}

void ResultsModel::SetStruckFont(const QFont& regular) {
    struckFont_ = regular;
    struckFont_.setUnderline(false);
    struckFont_.setStrikeOut(true);
}

void ResultsModel::sort(int column, Qt::SortOrder order) {
    // QTableView::sortByColumn asks twice, once for the header's new indicator and once more.
    if (column < 0 || column >= ColumnCount || rows_.size() < 2 ||
        sortedBy_ == std::pair(column, order)) {
        return;
    }
    std::vector<const CFileItem*> records(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        records[i] = rows_[i].record;
    }
    static_assert(static_cast<int>(RowColumn::Time) == TimeColumn);
    const std::vector<int> sorted = OrderRows(records, static_cast<RowColumn>(column), order);

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
