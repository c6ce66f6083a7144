#include "operations/journal/command_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>

namespace krelix {

std::string CommandLock::PathOf(const std::string& folder, std::int64_t command) {
    return folder + "/" + std::to_string(command) + ".lock";
}

CommandLock::~CommandLock() {
    // Removed while still locked, so that no one takes a lock on a name about to vanish.
    if (removeFile_ && fd_.valid()) {
        ::unlink(path_.c_str());
    }
}

std::optional<CommandLock> CommandLock::Take(const std::string& folder, std::int64_t command,
                                             int& error) {
    error = 0;
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        error = errno;
        return std::nullopt;
    }
    std::string path = PathOf(folder, command);
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd.valid()) {
        error = errno;
        return std::nullopt;
    }
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        error = errno;
        return std::nullopt;
    }
    return CommandLock(std::move(fd), std::move(path));
}

bool CommandLock::IsHeld(const std::string& folder, std::int64_t command) {
    UniqueFd fd(::open(PathOf(folder, command).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd.valid()) {
        return false;
    }
    return ::flock(fd.get(), LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}

}  // namespace krelix
