#pragma once

#include <cstddef>
#include <vector>

namespace krelix {

// A reusable byte buffer that only grows, in steps of 1024 bytes, so that a writer converting
// many short runs allocates a few times at most.
class ScratchBuffer {
  public:
    static constexpr std::size_t kStep = 1024;

    // Room for at least `bytes` bytes; the content is not kept.
    char* Reserve(std::size_t bytes) {
        const std::size_t needed = (bytes + kStep - 1) / kStep * kStep;
        if (bytes_.size() < needed) {
            bytes_.clear();
            bytes_.resize(needed);
        }
        return bytes_.data();
    }

    std::size_t capacity() const { return bytes_.size(); }

  private:
    std::vector<char> bytes_;
};

}  // namespace krelix
