#include "app/base/drawn_icon.h"

#include <QPixmap>

namespace krelix {

QIcon DrawnIcon(qreal gridUnits, std::initializer_list<int> sizes,
                const std::function<void(QPainter&)>& draw) {
    QIcon icon;
    for (const int size : sizes) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        {
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.scale(size / gridUnits, size / gridUnits);
            draw(painter);
        }
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace krelix
