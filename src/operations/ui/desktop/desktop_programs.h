#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace krelix {

// A program the desktop knows from its .desktop file.
struct DesktopProgram {
    QString id;    // the file name, e.g. "org.gnome.eog.desktop"
    QString name;  // in the user's language when the entry has it
    QString exec;  // the command line with its field codes
    QString icon;
    QStringList mimeTypes;
};

// Reads one desktop entry. Nothing for entries that are not applications, are hidden, are
// not to be shown, or have no command.
std::optional<DesktopProgram> ReadDesktopEntry(const QString& file, const QString& language);

// The programs of every applications folder, earlier folders hiding later entries of the
// same id; those that declare mimeType first, then by name.
std::vector<DesktopProgram> ListDesktopPrograms(const QStringList& applicationFolders,
                                                const QString& mimeType, const QString& language);

// $XDG_DATA_HOME/applications, then each of $XDG_DATA_DIRS.
QStringList ApplicationFolders();

}  // namespace krelix
