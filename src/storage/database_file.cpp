#include "storage/database_file.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "platform/set_aside.h"

namespace krelix {

bool IsDamage(int result) {
    return result == SQLITE_CORRUPT || result == SQLITE_NOTADB;
}

bool MakePrivateFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> SetAsideWithLog(const std::string& path, std::time_t now) {
    std::optional<std::string> kept = SetAside(path, "damaged", now);
    if (kept) {
        for (const char* part : {"-wal", "-shm"}) {
            std::rename((path + part).c_str(), (*kept + part).c_str());
        }
    }
    return kept;
}

}  // namespace krelix
