#include "app/mfc_list_ctrl_ex.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QStyle>
#include <algorithm>
#include <vector>

#include "app/results_model.h"
#include "common/ui/locale_time_text.h"

namespace krelix {

CMFCListCtrlEx::CMFCListCtrlEx(QWidget* parent) : QTableView(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    setIconSize(QSize(16, 16));
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

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
    // The last column takes what the window has to spare, so a wide window shows whole dates.
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
    // The classic widths, widened where they would cut the usual text: a group key of a
    // gigabyte-sized file behind its check box and icon, a size in the terabytes, and long dates
    // spelled out in the user's language (a late-September Wednesday is about the longest).
    const int margin = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin) + 8;
    const QFontMetrics metrics = fontMetrics();
    const int fitting[ResultsModel::ColumnCount] = {
        metrics.horizontalAdvance(QStringLiteral("1234567890ABCDEF01")) + 40 + margin, 140, 300,
        metrics.horizontalAdvance(QStringLiteral("1234567890123")) + margin,
        metrics.horizontalAdvance(LocaleTimeText(1790200799)) + margin};
    constexpr int kWidths[ResultsModel::ColumnCount] = {80, 140, 300, 60, 170};
    for (int column = 0; column < ResultsModel::ColumnCount; ++column) {
        setColumnWidth(column, std::max(kWidths[column], fitting[column]));
    }
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { Q_EMIT itemChanged(); });
    connect(model, &QAbstractItemModel::dataChanged, this, [this] { Q_EMIT itemChanged(); });
    // Emptied results come back in the order they are found: no column claims to sort them.
    // Rows left after a mass removal keep their order, and the header its mark.
    connect(model, &QAbstractItemModel::modelReset, this, [this] {
        if (model_->rowCount() == 0) {
            horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
        }
    });
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

}  // namespace krelix
