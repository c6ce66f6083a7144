#pragma once

#include <QString>
#include <QUrl>
#include <optional>
#include <string>

namespace krelix {

// A path of the file system's bytes for display; bytes that are not text show as U+FFFD.
QString DisplayPath(const std::string& path);

// The path as a QString that turns back into the same bytes when handed to a program, or
// nothing when the name is not valid in the locale's encoding.
std::optional<QString> ArgumentPath(const std::string& path);

// The file URL of the path. Names that are not valid text keep their bytes percent-encoded.
QUrl FileUrl(const std::string& path);

// The URL of the folder holding the path.
QUrl FolderUrl(const std::string& path);

}  // namespace krelix
