#pragma once

#include <QString>

namespace krelix {

// Gives a new widget the object name tests and screenshots find it by, and hands it back.
template <typename W>
W* Named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace krelix
