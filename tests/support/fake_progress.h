#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "operations/files/operation_progress.h"

namespace krelix::test {

// Records what a command reports and stops it, as a Cancel would, before file `stopBefore`.
class FakeProgress final : public OperationProgress {
  public:
    static constexpr std::size_t kNever = static_cast<std::size_t>(-1);

    std::size_t stopBefore = kNever;
    std::vector<std::string> titles;
    std::vector<std::size_t> totals;
    std::vector<std::string> paths;  // every file announced, in order
    int ended = 0;

    void Begin(const std::string& title, std::size_t total) override {
        titles.push_back(title);
        totals.push_back(total);
    }
    bool Next(std::size_t done, const std::string& path) override {
        if (done >= stopBefore) {
            return false;
        }
        paths.push_back(path);
        return true;
    }
    void End() override { ++ended; }
};

}  // namespace krelix::test
