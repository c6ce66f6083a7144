#pragma once

#include <sys/mount.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace krelix::test {

// A small file system of the given type (btrfs, xfs), made in an image file and mounted on a
// folder while the object lives. Needs root, the type's mkfs and loop devices; where any is
// missing ok() is false and why() says which, for the test to skip.
class LoopMount {
  public:
    LoopMount(const std::string& type, const std::string& image, const std::string& folder)
        : folder_(folder) {
        if (::geteuid() != 0) {
            why_ = "mounting needs root";
            return;
        }
        const std::string mkfs = "mkfs." + type;
        if (std::system(("command -v " + mkfs + " >/dev/null 2>&1").c_str()) != 0) {
            why_ = mkfs + " is not installed";
            return;
        }
        const std::string make = "truncate -s 160M '" + image + "' && " + mkfs + " -q '" + image +
                                 "' >/dev/null 2>&1 && mkdir -p '" + folder + "'";
        if (std::system(make.c_str()) != 0) {
            why_ = mkfs + " failed";
            return;
        }
        const std::string mount =
            "mount -o loop -t " + type + " '" + image + "' '" + folder + "' 2>/dev/null";
        if (std::system(mount.c_str()) != 0) {
            why_ = "no loop device could be mounted";
            return;
        }
        mounted_ = true;
    }
    ~LoopMount() {
        if (mounted_) {
            ::umount2(folder_.c_str(), MNT_DETACH);
        }
    }
    LoopMount(const LoopMount&) = delete;
    LoopMount& operator=(const LoopMount&) = delete;

    bool ok() const { return mounted_; }
    const std::string& why() const { return why_; }
    // The mounted folder, ending with "/".
    std::string root() const { return folder_ + "/"; }

  private:
    std::string folder_;
    std::string why_;
    bool mounted_ = false;
};

}  // namespace krelix::test
