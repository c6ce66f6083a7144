#pragma once

#include <string>

namespace krelix {

// The user's home folder: $HOME when it is an absolute path, else the password database's;
// empty when neither is known.
std::string HomeFolder();

// A base folder of the XDG scheme: the variable's value when it is an absolute path (relative
// values are invalid and ignored), else home followed by fallback (".cache", ".local/state").
// Without a trailing "/"; empty when neither is known.
std::string XdgFolder(const char* variable, const char* fallback);

}  // namespace krelix
