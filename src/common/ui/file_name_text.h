#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace krelix {

// File names and paths are the file system's bytes; the windows show them decoded the way Qt
// decodes local file names, and hand edited names back the same way.
QString DecodeFileName(std::string_view bytes);
std::string EncodeFileName(const QString& text);

}  // namespace krelix
