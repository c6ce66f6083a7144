#include "common/ui/report_last_error.h"

#include <cstring>

#include "common/ui/prompts.h"

namespace krelix {

QString LastErrorText(const QString& text, int errorCode) {
    // One multi-argument arg(): a "%2" inside a file name must stay as it is.
    return QStringLiteral("%1\nFailed with error %2: %3")
        .arg(text, QString::number(errorCode), QString::fromLocal8Bit(std::strerror(errorCode)));
}

void ReportLastError(Prompts& prompts, const QString& text, int errorCode) {
    prompts.Inform(ErrorCaption(), LastErrorText(text, errorCode), PromptIcon::Error);
}

}  // namespace krelix
