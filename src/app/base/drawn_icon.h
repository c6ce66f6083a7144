#pragma once

#include <QIcon>
#include <QPainter>
#include <functional>
#include <initializer_list>

namespace krelix {

// An icon drawn in code at each size, the painter scaled so that the drawing works on a square
// grid of gridUnits whatever the size; antialiased, on a transparent ground.
QIcon DrawnIcon(qreal gridUnits, std::initializer_list<int> sizes,
                const std::function<void(QPainter&)>& draw);

}  // namespace krelix
