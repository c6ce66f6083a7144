#include "common/ui/locale_time_text.h"

#include <QDateTime>
#include <QLocale>

namespace krelix {

QString LocaleTimeText(std::int64_t seconds) {
    const QDateTime time = QDateTime::fromSecsSinceEpoch(seconds);
    if (!time.isValid()) {
        return {};
    }
    return QLocale::system().toString(time, QLocale::LongFormat);
}

}  // namespace krelix
