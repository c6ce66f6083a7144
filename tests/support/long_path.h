#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace krelix::test {

// Folders nested below a root, deep enough that an entry of a 200-character name in the deepest
// one has a path too long to open (ENAMETOOLONG), while the deepest folder itself still opens.
// Made and removed with *at calls, which know no path limit. Fails the current test (gtest
// ADD_FAILURE) when the file system refuses.
class NearPathMax {
  public:
    explicit NearPathMax(const std::string& root);
    ~NearPathMax();
    NearPathMax(const NearPathMax&) = delete;
    NearPathMax& operator=(const NearPathMax&) = delete;

    // The deepest folder, ending with "/".
    const std::string& folder() const { return folder_; }
    // An entry in the deepest folder named by 200 times the letter: a file with the content, or
    // a folder without one. Answers its path.
    std::string AddTooLong(char letter, std::optional<std::string_view> content);

  private:
    std::string top_;  // the first nested folder, removed whole
    std::string folder_;
};

}  // namespace krelix::test
