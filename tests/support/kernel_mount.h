#pragma once

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace krelix::test {

// A mount made with mount(2) for as long as the object lives: a bind mount of a folder
// (read-only when asked) or a small tmpfs of a given size. Needs root; where it cannot be made
// ok() is false and why() says so, for the test to skip.
class KernelMount {
  public:
    enum class Access { ReadWrite, ReadOnly };

    static KernelMount Bind(const std::string& from, const std::string& on, Access access) {
        KernelMount mount(on);
        if (mount.Attempt(::mount(from.c_str(), on.c_str(), nullptr, MS_BIND, nullptr)) &&
            access == Access::ReadOnly &&
            !mount.Attempt(
                ::mount(nullptr, on.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr))) {
            ::umount2(on.c_str(), MNT_DETACH);
            mount.mounted_ = false;
        }
        return mount;
    }
    static KernelMount Tmpfs(const std::string& on, const std::string& size) {
        KernelMount mount(on);
        mount.Attempt(::mount("tmpfs", on.c_str(), "tmpfs", 0, ("size=" + size).c_str()));
        return mount;
    }

    KernelMount(KernelMount&& other) noexcept
        : on_(std::move(other.on_)), why_(std::move(other.why_)), mounted_(other.mounted_) {
        other.mounted_ = false;
    }
    KernelMount& operator=(KernelMount&&) = delete;
    ~KernelMount() {
        if (mounted_) {
            ::umount2(on_.c_str(), MNT_DETACH);
        }
    }

    bool ok() const { return mounted_; }
    const std::string& why() const { return why_; }

  private:
    explicit KernelMount(std::string on) : on_(std::move(on)) {
        ::mkdir(on_.c_str(), 0755);
        if (::geteuid() != 0) {
            why_ = "mounting needs root";
        }
    }
    bool Attempt(int result) {
        if (!why_.empty()) {
            return false;
        }
        if (result != 0) {
            why_ = std::string("mount failed: ") + std::strerror(errno);
            return false;
        }
        mounted_ = true;
        return true;
    }

    std::string on_;
    std::string why_;
    bool mounted_ = false;
};

}  // namespace krelix::test
