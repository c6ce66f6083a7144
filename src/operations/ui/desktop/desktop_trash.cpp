#include "operations/ui/desktop/desktop_trash.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>
#include <cerrno>

#include "operations/rename/file_rename.h"

namespace krelix {
namespace {

// Qt could not make any trash folder and put the file into "files/" under the current folder
// instead (it still reports success then, with that relative path). Takes the file back.
void Unstray(const QString& inTrash, const std::string& path) {
    const QFileInfo stray(inTrash);
    if (MoveNoReplace(QFile::encodeName(stray.absoluteFilePath()).toStdString(), path) != 0) {
        return;
    }
    QDir trash = stray.absoluteDir();
    trash.cdUp();
    QFile::remove(
        trash.filePath(QStringLiteral("info/") + stray.fileName() + QStringLiteral(".trashinfo")));
    trash.rmdir(QStringLiteral("files"));
    trash.rmdir(QStringLiteral("info"));
}

}  // namespace

int DesktopTrash::MoveToTrash(const std::string& path, std::string* inTrashPath) {
    const QByteArray bytes(path.data(), static_cast<qsizetype>(path.size()));
    const QString name = QFile::decodeName(bytes);
    if (QFile::encodeName(name) != bytes) {
        return EILSEQ;
    }
    // The home trash is made inside the data folder, which a fresh account may not have yet.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    errno = 0;
    QString inTrash;
    if (!QFile::moveToTrash(name, &inTrash)) {
        const int error = errno;
        return error != 0 ? error : EIO;
    }
    if (QDir::isAbsolutePath(inTrash)) {
        if (inTrashPath != nullptr) {
            *inTrashPath = QFile::encodeName(inTrash).toStdString();
        }
        return 0;
    }
    Unstray(inTrash, path);
    return ENOTSUP;  // no trash to be had
}

std::vector<std::string> DesktopTrash::FoldersFor(const std::string& path) const {
    const auto encoded = [](const QString& text) { return QFile::encodeName(text).toStdString(); };
    std::vector<std::string> folders{
        encoded(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)) +
        "/Trash/files/"};
    const QString folder =
        QFile::decodeName(QByteArray::fromStdString(std::string(FolderOf(path))));
    const QStorageInfo volume(folder);
    if (volume.isValid()) {
        const std::string top = encoded(volume.rootPath());
        const std::string uid = std::to_string(::getuid());
        folders.push_back(top + "/.Trash-" + uid + "/files/");
        folders.push_back(top + "/.Trash/" + uid + "/files/");
    }
    return folders;
}

}  // namespace krelix
