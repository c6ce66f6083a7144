#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

namespace krelix {

struct ProgramCommand {
    QString program;
    QStringList arguments;
    bool operator==(const ProgramCommand&) const = default;
};

// Turns a command the user typed or a desktop entry's Exec line into a program and its
// argument list for one file. The line is split like a shell would split it (quotes group
// words) but never run by one. %f and %F stand for the path, %u and %U for its URL, other
// field codes are dropped and %% is a percent sign; a line without a file code gets the
// path as its last argument. The path always travels as one whole argument. Nothing when the
// line names no program.
std::optional<ProgramCommand> BuildProgramCommand(const QString& commandLine, const QString& path,
                                                  const QUrl& url);

}  // namespace krelix
