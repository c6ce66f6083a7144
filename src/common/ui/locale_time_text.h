#pragma once

#include <QString>
#include <cstdint>

namespace krelix {

// A time (seconds since 1970 UTC) in local time, in the system locale's long date and time
// format with weekday and month spelled out; empty when it cannot be represented. The list's
// "Modified Time" column and the CSV export show this same text.
QString LocaleTimeText(std::int64_t seconds);

}  // namespace krelix
