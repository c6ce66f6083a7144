#include "app/results/selection_preview.h"

#include <QEvent>
#include <optional>
#include <string>

#include "app/results/mfc_list_ctrl_ex.h"
#include "app/results/results_model.h"
#include "preview/ui/preview_dlg.h"

namespace krelix {

SelectionPreview::SelectionPreview(QWidget& window, ResultsModel& rows, CMFCListCtrlEx& list)
    : window_(window), rows_(rows), list_(list) {
    connect(&list_, &CMFCListCtrlEx::rowClicked, this, &SelectionPreview::UpdatePreview);
    connect(&list_, &CMFCListCtrlEx::itemChanged, this, &SelectionPreview::UpdatePreview);
    // An emptied list leaves nothing for the preview to show.
    const auto hideWhenEmpty = [this] {
        if (rows_.rowCount() == 0) {
            HidePreview();
        }
    };
    connect(&rows_, &QAbstractItemModel::modelReset, this, hideWhenEmpty);
    connect(&rows_, &QAbstractItemModel::rowsRemoved, this, hideWhenEmpty);
    // If the window goes first, Qt has already destroyed the preview with it.
    connect(&window_, &QObject::destroyed, this, [this] { (void)preview_.release(); });
    window_.installEventFilter(this);
}

SelectionPreview::~SelectionPreview() = default;

void SelectionPreview::UpdatePreview() {
    std::optional<std::string> path;
    if (const CFileItem* selected = list_.SelectedRecord()) {
        path = selected->path;
    }
    krelix::UpdatePreview(preview_, &window_, path);
}

void SelectionPreview::HidePreview() {
    if (preview_) {
        preview_->HidePreview();
    }
}

bool SelectionPreview::eventFilter(QObject* watched, QEvent* event) {
    // A tool window of a closed or hidden main window would stay on the screen.
    if (watched == &window_ && event->type() == QEvent::Hide) {
        HidePreview();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace krelix
