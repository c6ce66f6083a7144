#include "app/base/lock_icon.h"

#include "app/base/drawn_icon.h"

namespace krelix {

QIcon LockIcon() {
    for (const char* name : {"object-locked", "changes-prevent"}) {
        const QIcon themed = QIcon::fromTheme(QString::fromLatin1(name));
        if (!themed.isNull()) {
            return themed;
        }
    }
    return DrawnIcon(16, {16, 24, 32}, [](QPainter& painter) {
        painter.setPen(QPen(QColor(90, 90, 90), 1.6));
        painter.setBrush(Qt::NoBrush);
        painter.drawArc(QRectF(4.5, 1.5, 7, 9), 0, 180 * 16);
        painter.drawLine(QPointF(4.5, 6), QPointF(4.5, 8));
        painter.drawLine(QPointF(11.5, 6), QPointF(11.5, 8));
        painter.setPen(QPen(QColor(120, 80, 0), 1.0));
        painter.setBrush(QColor(230, 170, 40));
        painter.drawRoundedRect(QRectF(2.5, 7.5, 11, 7.5), 1.5, 1.5);
    });
}

}  // namespace krelix
