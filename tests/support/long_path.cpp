#include "support/long_path.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace krelix::test {
namespace {

constexpr std::size_t kLongName = 200;
constexpr std::size_t kNestedName = 100;

void Check(bool ok, const char* what) {
    if (!ok) {
        ADD_FAILURE() << what << ": " << std::strerror(errno);
    }
}

// Removes the entry and, for a folder, everything in it, by descriptors only.
void RemoveAt(int parent, const char* name) {
    if (::unlinkat(parent, name, 0) == 0) {
        return;
    }
    const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
        ::close(fd);
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
            RemoveAt(::dirfd(dir), entry->d_name);
        }
    }
    ::closedir(dir);
    ::unlinkat(parent, name, AT_REMOVEDIR);
}

}  // namespace

NearPathMax::NearPathMax(const std::string& root) {
    const std::string name(kNestedName, 'n');
    folder_ = root;
    top_ = root + name;
    int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    Check(fd >= 0, "open root");
    // An entry of a long name below the deepest folder must reach PATH_MAX (the limit counts the
    // ending NUL).
    while (fd >= 0 && folder_.size() + kLongName < PATH_MAX) {
        Check(::mkdirat(fd, name.c_str(), 0755) == 0, "mkdirat");
        const int next = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        Check(next >= 0, "openat");
        ::close(fd);
        fd = next;
        folder_ += name + '/';
    }
    if (fd >= 0) {
        ::close(fd);
    }
}

NearPathMax::~NearPathMax() {
    const std::size_t slash = top_.rfind('/');
    const int parent =
        ::open(top_.substr(0, slash + 1).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parent >= 0) {
        RemoveAt(parent, top_.c_str() + slash + 1);
        ::close(parent);
    }
}

std::string NearPathMax::AddTooLong(char letter, std::optional<std::string_view> content) {
    const std::string name(kLongName, letter);
    const int fd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    Check(fd >= 0, "open the deepest folder");
    if (content) {
        const int file = ::openat(fd, name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        Check(file >= 0, "openat file");
        Check(::write(file, content->data(), content->size()) ==
                  static_cast<ssize_t>(content->size()),
              "write");
        ::close(file);
    } else {
        Check(::mkdirat(fd, name.c_str(), 0755) == 0, "mkdirat long");
    }
    ::close(fd);
    return folder_ + name;
}

}  // namespace krelix::test
