#pragma once

#include <string>
#include <vector>

namespace krelix {

// Where recycled files go. The desktop's trash in the program; tests give their own folder, so
// that no test ever touches the user's trash.
class Trash {
  public:
    virtual ~Trash() = default;
    // Moves the file at path (a link itself, never what it points at) into the trash; where it
    // went is given in inTrash when that is not null (an absolute path). Returns 0 or the errno
    // of the failure.
    virtual int MoveToTrash(const std::string& path, std::string* inTrash) = 0;
    int MoveToTrash(const std::string& path) { return MoveToTrash(path, nullptr); }
    // The folders ("…/files/") where the file at path would have gone, so that undo can find a
    // file whose move into the trash was never written down. None unless a trash says.
    virtual std::vector<std::string> FoldersFor(const std::string& path) const {
        (void)path;
        return {};
    }
};

}  // namespace krelix
