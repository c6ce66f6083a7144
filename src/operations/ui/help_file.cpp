#include "operations/ui/help_file.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include "operations/ui/launcher.h"

namespace krelix {
namespace {

const QString kHelpPage = QStringLiteral("ProductDescription.html");

}  // namespace

QStringList HelpFileCandidates(const QString& programFolder) {
    const QDir folder(programFolder);
    QStringList candidates{
        QDir::cleanPath(folder.filePath(QStringLiteral("help/") + kHelpPage)),
        QDir::cleanPath(folder.filePath(QStringLiteral("../share/krelix/help/") + kHelpPage)),
    };
    for (const QString& data :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        candidates << QDir(data).filePath(QStringLiteral("krelix/help/") + kHelpPage);
    }
    candidates.removeDuplicates();
    return candidates;
}

QString FindHelpFile(const QString& programFolder) {
    for (const QString& candidate : HelpFileCandidates(programFolder)) {
        if (QFileInfo(candidate).isFile()) {
            return candidate;
        }
    }
    return {};
}

QString ProgramFolder() {
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
}

bool OpenHelp(Launcher& launcher) {
    return OpenHelp(launcher, ProgramFolder());
}

bool OpenHelp(Launcher& launcher, const QString& programFolder) {
    const QString page = FindHelpFile(programFolder);
    return !page.isEmpty() && launcher.OpenUrl(QUrl::fromLocalFile(page));
}

}  // namespace krelix
