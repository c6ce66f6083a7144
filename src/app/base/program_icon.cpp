#include "app/base/program_icon.h"

#include <QPainterPath>

#include "app/base/drawn_icon.h"

namespace krelix {

QIcon ProgramIcon() {
    return DrawnIcon(32, {16, 24, 32, 48, 64}, [](QPainter& painter) {
        const auto page = [&](qreal x, qreal y, const QColor& fill) {
            QPainterPath path;
            path.moveTo(x, y);
            path.lineTo(x + 12, y);
            path.lineTo(x + 17, y + 5);
            path.lineTo(x + 17, y + 22);
            path.lineTo(x, y + 22);
            path.closeSubpath();
            painter.setPen(QPen(QColor(40, 70, 120), 1.2));
            painter.setBrush(fill);
            painter.drawPath(path);
        };
        page(3, 2, QColor(196, 238, 254));
        page(12, 8, QColor(253, 241, 249));
        painter.setPen(QPen(QColor(128, 37, 0), 2.0));
        painter.drawLine(QPointF(16, 19), QPointF(25, 19));
        painter.drawLine(QPointF(16, 23), QPointF(25, 23));
    });
}

}  // namespace krelix
