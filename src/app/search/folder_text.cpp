#include "app/search/folder_text.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <filesystem>

namespace krelix {

std::optional<std::string> NormaliseFolderText(const QString& text) {
    QString expanded = text;
    if (expanded == QLatin1String("~") || expanded.startsWith(QLatin1String("~/"))) {
        expanded = QDir::homePath() + expanded.mid(1);
    }
    const QByteArray bytes = QFile::encodeName(expanded);
    // A relative text would be read against the program's working folder, which the user
    // neither sees nor chose.
    if (bytes.isEmpty() || bytes.front() != '/' || bytes.contains('\0')) {
        return std::nullopt;
    }
    std::string folder = std::filesystem::path(bytes.toStdString()).lexically_normal().native();
    if (folder.back() != '/') {
        folder += '/';
    }
    struct stat status {};
    if (::stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
        return std::nullopt;
    }
    return folder;
}

}  // namespace krelix
