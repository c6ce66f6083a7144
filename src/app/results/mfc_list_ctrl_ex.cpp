#include "app/results/mfc_list_ctrl_ex.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <algorithm>
#include <vector>

#include "app/results/results_model.h"
#include "engine/file_item.h"

namespace krelix {

CMFCListCtrlEx::CMFCListCtrlEx(QWidget* parent) : QTableView(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    setIconSize(QSize(16, 16));
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // A long path keeps both its start and its file name in view.
    setTextElideMode(Qt::ElideMiddle);

    // Every row the same height, never measured one by one: a million rows stay cheap.
    QHeaderView* rowsHeader = verticalHeader();
    rowsHeader->setVisible(false);
    rowsHeader->setSectionResizeMode(QHeaderView::Fixed);
    rowsHeader->setMinimumSectionSize(1);
    rowsHeader->setDefaultSectionSize(std::max(fontMetrics().height(), 16) + 4);

    QHeaderView* columns = horizontalHeader();
    columns->setSectionsClickable(true);
    columns->setSortIndicatorShown(true);
    columns->setSortIndicator(-1, Qt::AscendingOrder);
    columns->setHighlightSections(false);
    // Widths are set by FitColumns; the last column still takes any room left over, for
    // instance once the user has dragged a column narrower.
    columns->setStretchLastSection(true);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setSortingEnabled(true);

    popup_ = new QMenu(this);
    popup_->setObjectName(QStringLiteral("_ListPop"));
    for (const MenuEntry& entry : ListPopMenu()) {
        if (entry.text == nullptr) {
            popup_->addSeparator();
            continue;
        }
        QAction* action = popup_->addAction(QString::fromUtf8(entry.text));
        if (entry.id == CommandId::UndoLastCommand) {
            // Shown beside the text; the window's own shortcut does the work.
            action->setShortcut(QKeySequence::Undo);
            action->setShortcutContext(Qt::WidgetShortcut);
        }
        const CommandId id = entry.id;
        connect(action, &QAction::triggered, this, [this, id] { Q_EMIT commandChosen(id); });
        popupActions_[id] = action;
    }

    connect(this, &QTableView::clicked, this,
            [this](const QModelIndex& index) { Q_EMIT rowClicked(index.row()); });
    connect(this, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { Q_EMIT rowDoubleClicked(index.row()); });
}

void CMFCListCtrlEx::SetResultsModel(ResultsModel* model) {
    model_ = model;
    setModel(model);
    if (model == nullptr) {
        return;
    }
    model->SetStruckFont(font());
    ResetWantedWidths();
    MeasureRows(0, model->rowCount() - 1);
    FitColumns();
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) {
                MeasureRows(first, last);
                FitColumns();
            });
    // A renamed file may need a wider "File Name"; whole-list repaints change no text.
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight,
                   const QList<int>& roles) {
                if (topLeft.row() == bottomRight.row() && roles.isEmpty()) {
                    MeasureRows(topLeft.row(), topLeft.row());
                    FitColumns();
                }
            });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { Q_EMIT itemChanged(); });
    connect(model, &QAbstractItemModel::dataChanged, this, [this] { Q_EMIT itemChanged(); });
    // Emptied results come back in the order they are found: no column claims to sort them.
    // Rows left after a mass removal keep their order, and the header its mark.
    connect(model, &QAbstractItemModel::modelReset, this, [this] {
        if (model_->rowCount() == 0) {
            horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
            ResetWantedWidths();
            FitColumns();
        }
    });
}

void CMFCListCtrlEx::ResetWantedWidths() {
    for (int column = 0; column < ResultsModel::ColumnCount; ++column) {
        wanted_[column] = horizontalHeader()->sectionSizeHint(column);
    }
    cellExtra_.fill(-1);
}

void CMFCListCtrlEx::MeasureRows(int first, int last) {
    if (model_ == nullptr || first < 0 || last < first) {
        return;
    }
    // Measuring every text of a big batch would stall the filling: past the budget the rows
    // measured are spread evenly over the batch, plus the longest key, name, path and size.
    // Each text measured is shaped, some microseconds: a million rows come in fifty batches.
    constexpr int kMeasuredRows = 100;
    const int step = std::max(1, (last - first + 1) / kMeasuredRows);
    std::vector<int> rows;
    for (int row = first; row <= last; row += step) {
        rows.push_back(row);
    }
    if (step > 1) {
        int longest[ResultsModel::ColumnCount] = {first, first, first, first, first};
        for (int row = first; row <= last; ++row) {
            const CFileItem& record = *model_->RecordAt(row);
            const auto lengthen = [&](int column, std::size_t (*length)(const CFileItem&)) {
                if (length(record) > length(*model_->RecordAt(longest[column]))) {
                    longest[column] = row;
                }
            };
            lengthen(ResultsModel::GroupColumn,
                     [](const CFileItem& r) { return r.groupKey.size(); });
            lengthen(ResultsModel::NameColumn, [](const CFileItem& r) { return r.name().size(); });
            lengthen(ResultsModel::PathColumn, [](const CFileItem& r) { return r.path.size(); });
            lengthen(ResultsModel::SizeColumn,
                     [](const CFileItem& r) { return static_cast<std::size_t>(r.size); });
        }
        rows.insert(rows.end(), std::begin(longest), std::end(longest) - 1);
    }

    const QFontMetrics metrics = fontMetrics();
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    for (const int row : rows) {
        for (int column = 0; column < ResultsModel::ColumnCount; ++column) {
            const QModelIndex cell = model_->index(row, column);
            const int text = metrics.horizontalAdvance(cell.data(Qt::DisplayRole).toString());
            if (cellExtra_[column] < 0) {
                cellExtra_[column] =
                    std::max(0, itemDelegate()->sizeHint(option, cell).width() - text);
            }
            // One pixel for the grid line.
            wanted_[column] = std::max(wanted_[column], text + cellExtra_[column] + 1);
        }
    }
}

void CMFCListCtrlEx::FitColumns() {
    if (model_ == nullptr) {
        return;
    }
    const ColumnWidths widths =
        FitResultColumns(wanted_, viewport()->width(), 6 * fontMetrics().averageCharWidth());
    for (int column = 0; column < ResultsModel::ColumnCount; ++column) {
        setColumnWidth(column, widths[column]);
    }
}

void CMFCListCtrlEx::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    FitColumns();
}

void CMFCListCtrlEx::ToggleSelectedChecks() {
    if (model_ == nullptr || selectionModel() == nullptr) {
        return;
    }
    std::vector<int> rows;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            rows.push_back(row);
        }
    }
    int focused = currentIndex().row();
    if (rows.empty()) {
        if (focused < 0) {
            return;
        }
        rows.push_back(focused);
    } else if (!selectionModel()->isRowSelected(focused)) {
        focused = FirstSelectedRow();
    }
    model_->SetRowsChecked(rows, !model_->IsChecked(focused));
}

void CMFCListCtrlEx::keyPressEvent(QKeyEvent* event) {
    // Handled here whatever the column: the view's own Space reaches only the check-box column
    // and only the focused row.
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        ToggleSelectedChecks();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

int CMFCListCtrlEx::FirstSelectedRow() const {
    if (selectionModel() == nullptr) {
        return -1;
    }
    int first = -1;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        if (first < 0 || range.top() < first) {
            first = range.top();
        }
    }
    return first;
}

CFileItem* CMFCListCtrlEx::SelectedRecord() const {
    return model_ == nullptr ? nullptr : model_->RecordAt(FirstSelectedRow());
}

void CMFCListCtrlEx::SetRowShaded(int row, bool redraw) {
    if (model_ != nullptr) {
        model_->SetRowShaded(row, redraw);
    }
}

void CMFCListCtrlEx::SetRowStruck(int row) {
    if (model_ != nullptr) {
        model_->SetRowStruck(row);
    }
}

void CMFCListCtrlEx::ClearRowMarks() {
    if (model_ != nullptr) {
        model_->ClearRowMarks();
    }
}

QAction* CMFCListCtrlEx::popupAction(CommandId id) const {
    const auto found = popupActions_.find(id);
    return found == popupActions_.end() ? nullptr : found->second;
}

void CMFCListCtrlEx::contextMenuEvent(QContextMenuEvent* event) {
    popup_->popup(event->globalPos());
    event->accept();
}

}  // namespace krelix
