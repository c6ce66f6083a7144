#pragma once

#include <QObject>
#include <memory>

class QWidget;

namespace krelix {

class CMFCListCtrlEx;
class CPreviewDlg;
class ResultsModel;

// The picture preview that follows the results list's selected row, shown as a tool window of
// the main window. It must go before the window, which parents the preview it owns; the list
// and rows must outlive it. UI thread only.
class SelectionPreview final : public QObject {
    Q_OBJECT

  public:
    SelectionPreview(QWidget& window, ResultsModel& rows, CMFCListCtrlEx& list);
    ~SelectionPreview() override;

    // The list's click and item-change handler: creates the preview, hidden, the first time,
    // then hands it the selected file, if any.
    void UpdatePreview();
    // Hides the preview (a search is starting, the window is closing); it stays created.
    void HidePreview();
    // Null until the list first reported a click or a change.
    CPreviewDlg* preview() const { return preview_.get(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget& window_;
    ResultsModel& rows_;
    CMFCListCtrlEx& list_;
    std::unique_ptr<CPreviewDlg> preview_;
};

}  // namespace krelix
