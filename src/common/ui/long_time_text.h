#pragma once

#include <QString>
#include <cstdint>

namespace krelix {

// A modification time as the results list and the CSV export show it: local time in the system
// locale's long date-and-time form (weekday and month spelled out). Empty when the time lies
// outside what the calendar can represent.
QString LongTimeText(std::int64_t secondsSinceEpoch);

}  // namespace krelix
