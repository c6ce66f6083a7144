#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace krelix::test {

// A fresh temporary folder, removed with everything in it (permissions restored first) when
// the object goes. Paths given to the methods are relative to the root; every method fails the
// current test (gtest ADD_FAILURE) when the file system refuses.
class TempTree {
  public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // The root, ending with "/".
    const std::string& root() const { return root_; }
    std::string Path(std::string_view relative) const;

    std::string AddFile(std::string_view relative, std::string_view content);
    // A file of the given size whose content is the repeated seed byte (holes when sparse).
    std::string AddSizedFile(std::string_view relative, std::uint64_t size, char seed = 'x');
    std::string AddSparseFile(std::string_view relative, std::uint64_t size);
    std::string AddFolder(std::string_view relative);
    std::string AddSymlink(std::string_view relative, const std::string& target);
    std::string AddHardLink(std::string_view relative, std::string_view existing);
    std::string AddFifo(std::string_view relative);
    void SetMode(std::string_view relative, unsigned mode);
    void SetModifiedTime(std::string_view relative, std::int64_t seconds);
    // Writes new content into the same file and sets its modification time back to what it was,
    // to the nanosecond, as touch -r, cp -p or rsync -t leave an edited file.
    void EditKeepingModifiedTime(std::string_view relative, std::string_view content);
    // Writes new content into the same file, again until its change time has moved on: the
    // kernel's clock for file times is coarse, and an edit within one tick would look like none.
    void Rewrite(std::string_view relative, std::string_view content);
    std::string Read(std::string_view relative) const;
    bool Exists(std::string_view relative) const;

  private:
    void MakeParents(const std::string& full);
    std::string root_;
};

// True when running as root: permission tests (unreadable folders) cannot work then.
bool RunningAsRoot();

}  // namespace krelix::test
