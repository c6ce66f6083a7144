#pragma once

#include <cerrno>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "operations/files/trash.h"

namespace krelix::test {

// A trash that is a folder the test gives: each file goes in under a fresh numbered name, so
// a test can look at what was trashed, and nothing touches the user's trash. A path listed in
// `failures` is left where it is and answered with its errno.
class FolderTrash final : public Trash {
  public:
    // folder ends with "/".
    explicit FolderTrash(std::string folder) : folder_(std::move(folder)) {}

    std::map<std::string, int> failures;
    std::vector<std::string> trashed;  // original paths, in order

    using Trash::MoveToTrash;
    int MoveToTrash(const std::string& path, std::string* where) override {
        if (const auto failure = failures.find(path); failure != failures.end()) {
            return failure->second;
        }
        const std::string inTrash = InTrash(trashed.size());
        if (std::rename(path.c_str(), inTrash.c_str()) != 0) {
            return errno;
        }
        trashed.push_back(path);
        if (where != nullptr) {
            *where = inTrash;
        }
        return 0;
    }

    std::vector<std::string> FoldersFor(const std::string&) const override { return {folder_}; }

    // Where the n-th trashed file went.
    std::string InTrash(std::size_t n) const { return folder_ + std::to_string(n); }

  private:
    std::string folder_;
};

}  // namespace krelix::test
