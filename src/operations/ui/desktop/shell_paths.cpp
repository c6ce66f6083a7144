#include "operations/ui/desktop/shell_paths.h"

#include <QFile>

namespace krelix {

QString DisplayPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::optional<QString> ArgumentPath(const std::string& path) {
    const QByteArray bytes = QByteArray::fromStdString(path);
    QString decoded = QFile::decodeName(bytes);
    if (QFile::encodeName(decoded) != bytes) {
        return std::nullopt;
    }
    return decoded;
}

QUrl FileUrl(const std::string& path) {
    if (const auto text = ArgumentPath(path)) {
        return QUrl::fromLocalFile(*text);
    }
    return QUrl::fromEncoded("file://" + QByteArray::fromStdString(path).toPercentEncoding("/"),
                             QUrl::StrictMode);
}

QUrl FolderUrl(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return FileUrl(slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1));
}

}  // namespace krelix
