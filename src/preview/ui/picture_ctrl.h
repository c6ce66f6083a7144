#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include "preview/picture_fit.h"

namespace krelix {

// Draws one picture scaled to fit and centred on white. Nothing is drawn until a picture has
// been set; the picture it owns is released when another is set or it is cleared.
class CPictureCtrl final : public QWidget {
    Q_OBJECT

  public:
    explicit CPictureCtrl(QWidget* parent = nullptr);

    void SetPicture(QImage picture);
    void ClearPicture();
    bool IsLoaded() const { return loaded_; }
    QSize PictureSize() const { return picture_.size(); }
    // Where the picture is drawn in the control's current size.
    PictureRect DrawnRect() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage picture_;
    bool loaded_ = false;
    // The picture scaled for the last drawn rectangle, so that repaints do not rescale.
    QPixmap scaled_;
};

}  // namespace krelix
