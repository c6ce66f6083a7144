#pragma once

#include <string>

namespace krelix {

class Prompts;

// The "Clear Hash Cache" button: asks first, then forgets every file the cache at path knows;
// says so when it could not. Another search running meanwhile keeps its own connection.
void ClearHashCache(const std::string& path, Prompts& prompts);

}  // namespace krelix
