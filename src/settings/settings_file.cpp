#include "settings/settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "catalogue/file_type_catalogue.h"
#include "platform/set_aside.h"
#include "platform/unique_fd.h"
#include "settings/settings_codec.h"

namespace krelix {
namespace {

namespace fs = std::filesystem;

}  // namespace

std::optional<std::string> ReadConfigurationFile(const std::string& path) {
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer forever.
    UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat info {};
    if (!fd.valid() || fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0 ||
        static_cast<std::uint64_t>(info.st_size) > kMaxSettingsSize) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = read(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return std::nullopt;
        }
        if (n == 0) {
            break;  // shrank since fstat
        }
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return bytes;
}

namespace {

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool MakeFolders(const fs::path& folder) {
    std::error_code ec;
    if (folder.empty() || fs::is_directory(folder, ec)) {
        return true;
    }
    if (!MakeFolders(folder.parent_path())) {
        return false;
    }
    return mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

struct Target {
    fs::path path;
    std::optional<mode_t> mode;  // of the file being replaced; none for a new file
};

// The file to replace: path itself, or the file a symbolic link at path names. None when path
// must be left alone.
std::optional<Target> ReplacementTarget(const fs::path& path) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) {
        return errno == ENOENT ? std::optional(Target{path, std::nullopt}) : std::nullopt;
    }
    Target target{path, std::nullopt};
    if (S_ISLNK(info.st_mode)) {
        std::error_code ec;
        target.path = fs::canonical(path, ec);
        if (ec || stat(target.path.c_str(), &info) != 0) {
            return std::nullopt;
        }
    }
    // Rename would replace even a read-only file; a user who took away write permission meant
    // the file to stay as it is.
    if (!S_ISREG(info.st_mode) || (info.st_mode & 0222) == 0 ||
        access(target.path.c_str(), W_OK) != 0) {
        return std::nullopt;
    }
    target.mode = info.st_mode & 07777;
    return target;
}

}  // namespace

bool ReplaceConfigurationFile(const fs::path& path, std::string_view bytes) {
    if (!MakeFolders(path.parent_path())) {
        return false;
    }
    const std::optional<Target> target = ReplacementTarget(path);
    if (!target) {
        return false;
    }
    const fs::path& destination = target->path;
    const fs::path folder =
        destination.has_parent_path() ? destination.parent_path() : fs::path(".");
    std::string temporary;
    int raw = -1;
    for (int attempt = 0; raw < 0 && attempt < 100; ++attempt) {
        temporary = destination.string() + "." + std::to_string(getpid()) + "-" +
                    std::to_string(attempt) + ".tmp";
        raw = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (raw < 0 && errno != EEXIST) {
            return false;
        }
    }
    UniqueFd fd(raw);
    if (!fd.valid()) {
        return false;
    }
    const bool ok = (!target->mode || fchmod(fd.get(), *target->mode) == 0) &&
                    WriteAll(fd.get(), bytes) && fsync(fd.get()) == 0 && fd.Close() == 0 &&
                    rename(temporary.c_str(), destination.c_str()) == 0;
    if (!ok) {
        unlink(temporary.c_str());
        return false;
    }
    // Make the rename itself durable; the new content is already safe either way.
    UniqueFd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid()) {
        fsync(dir.get());
    }
    return true;
}

SettingsLoad LoadSettings(const std::string& path, FileTypeCatalogue& catalogue) {
    catalogue.Clear();
    const std::optional<std::string> bytes = ReadConfigurationFile(path);
    if (bytes && UnpackSettings(*bytes, catalogue)) {
        return SettingsLoad::Loaded;
    }
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 ? errno == ENOENT
                                       : S_ISREG(info.st_mode) && info.st_size == 0) {
        return SettingsLoad::Absent;
    }
    return SettingsLoad::Unreadable;
}

std::optional<std::string> SetAsideSettings(const std::string& path, std::time_t now) {
    return SetAside(path, "unreadable", now);
}

bool SaveSettings(const std::string& path, const FileTypeCatalogue& catalogue) {
    if (path.empty()) {
        return false;
    }
    try {
        const std::string bytes = PackSettings(catalogue);
        // Never write a file the next start would refuse to read.
        return bytes.size() <= kMaxSettingsSize && ReplaceConfigurationFile(path, bytes);
    } catch (const std::exception&) {  // memory, or a text beyond 4 GiB
        return false;
    }
}

}  // namespace krelix
