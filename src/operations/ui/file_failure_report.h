#pragma once

#include <QString>

namespace krelix {

class Prompts;

// Reports a command's failure on one file: the two failures of the "still the file compared"
// check in words of their own, any other code as the errno it is (ReportLastError).
void ReportFileFailure(Prompts& prompts, const QString& text, int error);

}  // namespace krelix
