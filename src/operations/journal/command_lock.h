#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/unique_fd.h"

namespace krelix {

// Says that a journal command is being worked on: its lock file is locked (flock) by the
// process that runs the command, or by the one undoing it. The kernel lets go of the lock when
// that process ends in any way, so a command whose lock can be taken is not running anywhere.
// Lock files live in a folder beside the journal, one per command, named by its number.
class CommandLock {
  public:
    CommandLock(CommandLock&&) = default;
    CommandLock& operator=(CommandLock&&) = default;
    ~CommandLock();

    // The command's lock, made when missing. Nothing when another process or another lock in
    // this one holds it (error EWOULDBLOCK), or when the lock file cannot be made (its errno).
    static std::optional<CommandLock> Take(const std::string& folder, std::int64_t command,
                                           int& error);
    // Whether another holds the command's lock. A missing lock file means no one does: a
    // command's lock is taken before the command can be seen in the journal.
    static bool IsHeld(const std::string& folder, std::int64_t command);
    // The lock file goes with the lock: the command is finished or forgotten.
    void RemoveFile() { removeFile_ = true; }

  private:
    CommandLock(UniqueFd fd, std::string path) : fd_(std::move(fd)), path_(std::move(path)) {}
    static std::string PathOf(const std::string& folder, std::int64_t command);

    UniqueFd fd_;
    std::string path_;
    bool removeFile_ = false;
};

}  // namespace krelix
