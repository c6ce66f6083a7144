#include "operations/ui/desktop/help_file.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include "operations/ui/desktop/launcher.h"

namespace krelix {
namespace {

const QString kHelpPage = QStringLiteral("ProductDescription.html");

}  // namespace

HelpFolders InstalledHelpFolders() {
    return {ProgramFolder(),
            QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)};
}

QStringList HelpFileCandidates(const HelpFolders& folders) {
    const QDir program(folders.program);
    QStringList candidates{
        QDir::cleanPath(program.filePath(QStringLiteral("help/") + kHelpPage)),
        QDir::cleanPath(program.filePath(QStringLiteral("../share/krelix/help/") + kHelpPage)),
    };
    for (const QString& data : folders.data) {
        candidates << QDir(data).filePath(QStringLiteral("krelix/help/") + kHelpPage);
    }
    candidates.removeDuplicates();
    return candidates;
}

QString FindHelpFile(const HelpFolders& folders) {
    for (const QString& candidate : HelpFileCandidates(folders)) {
        if (QFileInfo(candidate).isFile()) {
            return candidate;
        }
    }
    return {};
}

QString ProgramFolder() {
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
}

bool OpenHelp(Launcher& launcher, const HelpFolders& folders) {
    const QString page = FindHelpFile(folders);
    return !page.isEmpty() && launcher.OpenUrl(QUrl::fromLocalFile(page));
}

}  // namespace krelix
