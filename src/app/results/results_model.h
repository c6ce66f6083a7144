#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "app/results/group_stripes.h"
#include "engine/file_item.h"
#include "operations/links/link_replacement.h"

namespace krelix {

class CUseShGetFileInfo;

// The rows of the results list: one per record of the result copy, in list order, each with
// its check mark and its row marks (shaded: the group's alternate colours; struck: the file is
// gone, drawn struck through; linked: the file was replaced by a hard link or clone of its
// group's kept file, drawn in italics in a colour of its own). Rows point at records they do not
// own; each record's rowIndex names its row, kept current by every change of row order made here.
// UI thread only.
class ResultsModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { GroupColumn, NameColumn, PathColumn, SizeColumn, TimeColumn, ColumnCount };
    enum Role {
        RecordRole = Qt::UserRole + 1,  // the row's CFileItem*, as a void* in the variant
        ShadedRole,
        StruckRole,
        LinkedRole,  // 0, or 1 + the LinkKind the row's file was replaced by
    };

    static inline const QColor kShadedText{128, 37, 0};
    static inline const QColor kShadedBackground{253, 241, 249};
    static inline const QColor kPlainText{0, 0, 0};
    static inline const QColor kPlainBackground{196, 238, 254};
    static inline const QColor kLinkedText{0, 110, 60};

    explicit ResultsModel(QObject* parent = nullptr);
    ~ResultsModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Orders the rows by the column's meaning (sizes and times as numbers, names and paths
    // without regard to case, "Dup. Group" by size then key, so groups stay together); ties keep
    // their order. Check marks and struck marks move with their rows; rowIndex is renumbered
    // and the group shading is laid anew for the new order. Rows already in that order since
    // the last change of rows or records stay as they are, unsorted again.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Rows, appended at the end in one insertion, unchecked and unmarked; each record's rowIndex
    // is set to its row.
    void AppendRecords(std::span<CFileItem* const> records);
    void AppendRecord(CFileItem* record);
    // Drops every row for which the predicate holds, walking from the first row; the predicate
    // may act on the record (for example remove it from the result copy) since its row is gone
    // afterwards. Row marks and rowIndex of the rows left are not touched: RestripeGroups after.
    // Rows scattered all over a big list go in one model reset (views lose their selection).
    void RemoveRowsWhere(const std::function<bool(int row, CFileItem& record)>& predicate);
    // Drops every row and every mark.
    void Clear();
    CFileItem* RecordAt(int row) const;
    // Every row's record, in row order.
    std::vector<CFileItem*> RowRecords() const;
    // Repaints a row whose record changed (renamed, for example).
    void RefreshRow(int row);

    bool IsChecked(int row) const;
    void SetChecked(int row, bool checked);
    // Gives every row named the same mark, in one change; rows out of range are skipped.
    void SetRowsChecked(std::span<const int> rows, bool checked);
    // Sets every row's check mark to what the rule gives for (row, current mark) in one change.
    void SetAllChecked(const std::function<bool(int row, bool checked)>& rule);
    std::vector<CFileItem*> CheckedRecords() const;  // in row order

    void SetRowShaded(int row, bool redraw);
    void SetRowStruck(int row);  // always redrawn
    // The row's file was replaced by a link; kept through sorts and restripes, since it tells of
    // the file, not of the row's place. Always redrawn.
    void SetRowLinked(int row, LinkKind kind);
    std::optional<LinkKind> RowLink(int row) const;
    // The row's file is a file of its own again (the replacement was undone).
    void ClearRowLinked(int row);
    void ClearRowMarks();
    bool IsRowShaded(int row) const;
    bool IsRowStruck(int row) const;
    // Renumbers every record's rowIndex and lays the marks anew: groups alternate, the first
    // unshaded, a group starting wherever the key (without regard to case) changes from the
    // row above; a row is struck when its record is deleted. Redraws the whole list.
    void RestripeGroups();
    // Lays the group shading on the rows from firstRow to the end, carrying on from the last row
    // shaded so: a key equal (without regard to case) to that row's continues its group. Does
    // not redraw; the rows are meant to be new, as a live filling adds them batch by batch.
    void ShadeAppendedRows(int firstRow);
    // The next row shaded starts a new, unshaded group. Clear does this too.
    void RestartShading();
    // Asks the views to repaint every row.
    void RedrawAll();

    // With marking off the list's own colours and font are used.
    void SetColourMarking(bool on);
    void SetFontMarking(bool on);
    void SetStruckFont(const QFont& regular);
    // May be null: no icons.
    void SetIconProvider(const CUseShGetFileInfo* icons) { icons_ = icons; }

  private:
    struct Row {
        CFileItem* record;
        bool checked = false;
        bool shaded = false;
        bool struck = false;
        std::uint8_t linked = 0;  // 0, or 1 + LinkKind
    };

    bool IsValidRow(int row) const { return row >= 0 && row < static_cast<int>(rows_.size()); }
    Row* RowIf(int row) {
        return IsValidRow(row) ? &rows_[static_cast<std::size_t>(row)] : nullptr;
    }
    const Row* RowIf(int row) const {
        return IsValidRow(row) ? &rows_[static_cast<std::size_t>(row)] : nullptr;
    }
    void Reshade(bool struckFromRecords);

    std::vector<Row> rows_;
    // Where ShadeAppendedRows left off.
    GroupStripes stripes_;
    // The column and order the rows are in, until a row or a record changes.
    std::optional<std::pair<int, Qt::SortOrder>> sortedBy_;
    bool colourMarking_ = false;
    bool fontMarking_ = false;
    QFont struckFont_;
    const CUseShGetFileInfo* icons_ = nullptr;
};

}  // namespace krelix
