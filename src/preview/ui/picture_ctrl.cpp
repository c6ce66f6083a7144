#include "preview/ui/picture_ctrl.h"

#include <QPainter>

namespace krelix {

CPictureCtrl::CPictureCtrl(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CPictureCtrl::SetPicture(QImage picture) {
    picture_ = std::move(picture);
    loaded_ = !picture_.isNull();
    scaled_ = QPixmap();
    repaint();
}

void CPictureCtrl::ClearPicture() {
    picture_ = QImage();
    loaded_ = false;
    scaled_ = QPixmap();
    update();
}

PictureRect CPictureCtrl::DrawnRect() const {
    return FitPicture(width(), height(), picture_.width(), picture_.height());
}

void CPictureCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!loaded_) {
        return;
    }
    const PictureRect r = DrawnRect();
    if (r.width <= 0 || r.height <= 0) {
        return;
    }
    const qreal ratio = devicePixelRatioF();
    const QSize device(qRound(r.width * ratio), qRound(r.height * ratio));
    if (scaled_.size() != device) {
        scaled_ = QPixmap::fromImage(
            picture_.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        scaled_.setDevicePixelRatio(ratio);
    }
    painter.drawPixmap(r.x, r.y, scaled_);
}

}  // namespace krelix
