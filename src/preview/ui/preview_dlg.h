#pragma once

#include <QDialog>
#include <QImage>
#include <memory>
#include <optional>
#include <string>

namespace krelix {

class CPictureCtrl;
class PictureLoader;

// The picture preview: a resizable tool window showing the selected file's picture scaled to
// fit, with the file's path (shortened to the width) in its title. The main window creates it
// hidden on the first click or selection change in the results list and hands it every newly
// selected file; it shows itself only for files that decode as pictures. Closing it or
// pressing Escape hides it; it is never destroyed before the main window.
class CPreviewDlg final : public QDialog {
    Q_OBJECT

  public:
    explicit CPreviewDlg(QWidget* parent = nullptr);
    ~CPreviewDlg() override;

    // Shows the file's path at once; the picture follows when decoded off the UI thread. A
    // picture shows the window; anything else blanks the picture area and leaves the window
    // visible or hidden as it was. The file shown last is not decoded again.
    void ShowFile(const std::string& path);
    // Hides the window and forgets a picture still being decoded (a search is starting).
    void HidePreview();

    const std::string& path() const { return path_; }
    CPictureCtrl* pictureCtrl() const { return picture_; }

  Q_SIGNALS:
    // After the file given last has been tried: true when it was a picture and is shown.
    void FileShown(bool isPicture);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void OnDecoded(QImage image);
    void UpdateTitle();
    void UpdateMinimumSize();
    QSize DecodeLimit() const;

    enum class Outcome { Pending, Picture, NotPicture };

    std::string path_;
    Outcome outcome_ = Outcome::Pending;
    CPictureCtrl* picture_;
    PictureLoader* loader_;
};

// The results list's click and item-change handler: creates the preview, hidden, the first
// time (even with nothing selected), then shows the selected file if there is one.
void UpdatePreview(std::unique_ptr<CPreviewDlg>& preview, QWidget* parent,
                   const std::optional<std::string>& selectedPath);

}  // namespace krelix
