#include "support/temp_tree.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace krelix::test {
namespace {

void Check(bool ok, const std::string& what) {
    if (!ok) {
        ADD_FAILURE() << what << ": " << std::strerror(errno);
    }
}

// Gives back every permission below root so that removal cannot fail on a locked folder.
void Unlock(const fs::path& root) {
    std::error_code ec;
    fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, ec);
    for (auto it = fs::recursive_directory_iterator(
             root, fs::directory_options::skip_permission_denied, ec);
         it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
        if (ec) {
            break;
        }
    }
}

// Edits until the file's status-change time differs from before's: the kernel's clock for file
// times ticks in milliseconds, so this waits for the clock rather than for a guessed time.
void EditUntilChangeTimeMoves(const std::string& full, const struct stat& before,
                              const std::function<void()>& edit) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    struct stat after {};
    do {
        edit();
        Check(::lstat(full.c_str(), &after) == 0, "lstat " + full);
        if (after.st_ctim.tv_sec != before.st_ctim.tv_sec ||
            after.st_ctim.tv_nsec != before.st_ctim.tv_nsec) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    } while (std::chrono::steady_clock::now() < deadline);
    ADD_FAILURE() << "the status-change time of " << full << " never moved";
}

}  // namespace

TempTree::TempTree() {
    std::string base = (fs::temp_directory_path() / "krelix-test-XXXXXX").string();
    std::vector<char> buffer(base.begin(), base.end());
    buffer.push_back('\0');
    Check(mkdtemp(buffer.data()) != nullptr, "mkdtemp");
    root_ = std::string(buffer.data()) + "/";
}

TempTree::~TempTree() {
    std::error_code ec;
    Unlock(root_);
    fs::remove_all(root_, ec);
}

std::string TempTree::Path(std::string_view relative) const {
    return root_ + std::string(relative);
}

void TempTree::MakeParents(const std::string& full) {
    std::error_code ec;
    fs::create_directories(fs::path(full).parent_path(), ec);
    if (ec) {
        ADD_FAILURE() << "create_directories " << full << ": " << ec.message();
    }
}

std::string TempTree::AddFile(std::string_view relative, std::string_view content) {
    const std::string full = Path(relative);
    MakeParents(full);
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    Check(static_cast<bool>(out), "write " + full);
    return full;
}

std::string TempTree::AddSizedFile(std::string_view relative, std::uint64_t size, char seed) {
    const std::string full = Path(relative);
    MakeParents(full);
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    std::string chunk(64 * 1024, seed);
    for (std::uint64_t left = size; left > 0;) {
        const std::uint64_t n = std::min<std::uint64_t>(left, chunk.size());
        out.write(chunk.data(), static_cast<std::streamsize>(n));
        left -= n;
    }
    Check(static_cast<bool>(out), "write " + full);
    return full;
}

std::string TempTree::AddSparseFile(std::string_view relative, std::uint64_t size) {
    const std::string full = Path(relative);
    MakeParents(full);
    const int fd = ::open(full.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    Check(fd >= 0, "open " + full);
    if (fd >= 0) {
        Check(::ftruncate(fd, static_cast<off_t>(size)) == 0, "ftruncate " + full);
        ::close(fd);
    }
    return full;
}

std::string TempTree::AddFolder(std::string_view relative) {
    const std::string full = Path(relative);
    std::error_code ec;
    fs::create_directories(full, ec);
    if (ec) {
        ADD_FAILURE() << "create_directories " << full << ": " << ec.message();
    }
    return full.back() == '/' ? full : full + "/";
}

std::string TempTree::AddSymlink(std::string_view relative, const std::string& target) {
    const std::string full = Path(relative);
    MakeParents(full);
    Check(::symlink(target.c_str(), full.c_str()) == 0, "symlink " + full);
    return full;
}

std::string TempTree::AddHardLink(std::string_view relative, std::string_view existing) {
    const std::string full = Path(relative);
    MakeParents(full);
    Check(::link(Path(existing).c_str(), full.c_str()) == 0, "link " + full);
    return full;
}

std::string TempTree::AddFifo(std::string_view relative) {
    const std::string full = Path(relative);
    MakeParents(full);
    Check(::mkfifo(full.c_str(), 0644) == 0, "mkfifo " + full);
    return full;
}

void TempTree::SetMode(std::string_view relative, unsigned mode) {
    const std::string full = Path(relative);
    Check(::chmod(full.c_str(), mode) == 0, "chmod " + full);
}

void TempTree::SetModifiedTime(std::string_view relative, std::int64_t seconds) {
    const std::string full = Path(relative);
    timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(seconds);
    times[1].tv_nsec = 0;
    Check(::utimensat(AT_FDCWD, full.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0,
          "utimensat " + full);
}

void TempTree::EditKeepingModifiedTime(std::string_view relative, std::string_view content) {
    const std::string full = Path(relative);
    struct stat before {};
    Check(::lstat(full.c_str(), &before) == 0, "lstat " + full);
    AddFile(relative, content);
    const timespec times[2] = {before.st_atim, before.st_mtim};
    EditUntilChangeTimeMoves(full, before, [&] {
        Check(::utimensat(AT_FDCWD, full.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0,
              "utimensat " + full);
    });
}

void TempTree::Rewrite(std::string_view relative, std::string_view content) {
    const std::string full = Path(relative);
    struct stat before {};
    Check(::lstat(full.c_str(), &before) == 0, "lstat " + full);
    EditUntilChangeTimeMoves(full, before, [&] { AddFile(relative, content); });
}

std::string TempTree::Read(std::string_view relative) const {
    std::ifstream in(Path(relative), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool TempTree::Exists(std::string_view relative) const {
    struct stat st {};
    return ::lstat(Path(relative).c_str(), &st) == 0;
}

bool RunningAsRoot() {
    return ::geteuid() == 0;
}

}  // namespace krelix::test
