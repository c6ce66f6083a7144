#include "platform/set_aside.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>

namespace krelix {

std::optional<std::string> SetAside(const std::string& path, std::string_view why,
                                    std::time_t now) {
    std::tm local{};
    char stamp[32] = {};
    if (path.empty() || localtime_r(&now, &local) == nullptr ||
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local) == 0) {
        return std::nullopt;
    }
    const std::string base = path + "." + std::string(why) + "-" + stamp;
    for (int attempt = 1; attempt <= 100; ++attempt) {
        const std::string candidate = attempt == 1 ? base : base + "-" + std::to_string(attempt);
        if (renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, candidate.c_str(), RENAME_NOREPLACE) == 0) {
            return candidate;
        }
        if (errno == EINVAL || errno == ENOSYS) {
            // A file system without RENAME_NOREPLACE: a hard link fails on an existing name too.
            if (link(path.c_str(), candidate.c_str()) == 0) {
                if (unlink(path.c_str()) == 0) {
                    return candidate;
                }
                unlink(candidate.c_str());
                return std::nullopt;
            }
        }
        if (errno != EEXIST) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

}  // namespace krelix
