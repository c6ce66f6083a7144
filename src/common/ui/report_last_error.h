#pragma once

#include <QString>

namespace krelix {

class Prompts;

// "<text>\nFailed with error <code>: <system message>", the one report of a failed file
// operation. The caller passes the errno it saved right after the failing call, before
// anything else could change it.
QString LastErrorText(const QString& text, int errorCode);

// Shows LastErrorText in a box captioned "Error".
void ReportLastError(Prompts& prompts, const QString& text, int errorCode);

}  // namespace krelix
