#include "common/ui/long_time_text.h"

#include <QDateTime>
#include <QLocale>

namespace krelix {

QString LongTimeText(std::int64_t secondsSinceEpoch) {
    // Beyond about +-292 million years the millisecond count overflows; nothing real is there.
    constexpr std::int64_t kLimit = 9'000'000'000'000LL;
    if (secondsSinceEpoch > kLimit || secondsSinceEpoch < -kLimit) {
        return {};
    }
    const QDateTime local = QDateTime::fromSecsSinceEpoch(secondsSinceEpoch).toLocalTime();
    if (!local.isValid()) {
        return {};
    }
    return QLocale::system().toString(local, QLocale::LongFormat);
}

}  // namespace krelix
