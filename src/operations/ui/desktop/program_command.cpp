#include "operations/ui/desktop/program_command.h"

#include <QProcess>

namespace krelix {

std::optional<ProgramCommand> BuildProgramCommand(const QString& commandLine, const QString& path,
                                                  const QUrl& url) {
    QStringList words = QProcess::splitCommand(commandLine);
    QStringList arguments;
    bool fileGiven = false;
    for (const QString& word : words) {
        if (word == QLatin1String("%f") || word == QLatin1String("%F")) {
            arguments << path;
            fileGiven = true;
        } else if (word == QLatin1String("%u") || word == QLatin1String("%U")) {
            arguments << QString::fromUtf8(url.toEncoded());
            fileGiven = true;
        } else if (word.size() == 2 && word[0] == QLatin1Char('%') && word[1] != QLatin1Char('%')) {
            // %i, %c, %k and the deprecated codes: nothing to give.
        } else {
            arguments << QString(word).replace(QLatin1String("%%"), QLatin1String("%"));
        }
    }
    if (arguments.isEmpty() || arguments.front().isEmpty()) {
        return std::nullopt;
    }
    ProgramCommand command{arguments.takeFirst(), arguments};
    if (!fileGiven) {
        command.arguments << path;
    }
    return command;
}

}  // namespace krelix
