#pragma once

#include <QPoint>
#include <QString>

class QWidget;

namespace krelix {

// What the Search command needs of the window it runs in. The main window implements it; a
// test may put a fake in its place. UI thread only.
class SearchView {
  public:
    virtual ~SearchView() = default;

    // A run disables the whole window (its progress window excepted) and enables it after.
    virtual void SetRunning(bool running) = 0;
    virtual void SetSearchEnabled(bool enabled) = 0;
    // The run's summary, for the status line.
    virtual void ShowSummary(const QString& summary) = 0;
    // A new run makes the picture preview of the old results meaningless.
    virtual void HidePreview() = 0;
    // The progress window's parent (may be null) and where its centre goes.
    virtual QWidget* ProgressParent() = 0;
    virtual QPoint ProgressCentre() const = 0;

  protected:
    SearchView() = default;
    SearchView(const SearchView&) = default;
    SearchView& operator=(const SearchView&) = default;
};

}  // namespace krelix
