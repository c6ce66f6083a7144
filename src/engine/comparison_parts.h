#pragma once

// The comparison's candidates and their runs of one size, for the files that implement it.
#include <cstddef>
#include <cstdint>

#include "engine/comparison.h"
#include "engine/file_crc.h"

namespace krelix {

struct Comparison::CachedWhole {
    std::uint32_t candidate;
    ContentDigest digest;
};

struct Comparison::Candidate {
    enum class State : std::uint8_t {
        LeftOut,     // unreadable, changed, stopped, or alone with its first (and last) block
        FirstBlock,  // crc, strong and lastBlockCrc are the first stage's
        Whole,       // digest is of the whole content
    };
    // The digest's parts and the file, laid out so that a candidate takes 40 bytes.
    StrongHash strong;
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
    std::uint32_t lastBlockCrc = 0;
    std::uint32_t index = 0;  // in the source
    State state = State::LeftOut;
    bool mayCache = false;    // its digests may come from, and go to, the cache
    bool cached = false;      // the first stage's digest came from the cache
    bool restHashed = false;  // read whole by the second stage

    FirstBlock firstBlock() const { return FirstBlock{{crc, strong}, lastBlockCrc, false}; }
    void SetDigest(const ContentDigest& digest) {
        crc = digest.crc;
        strong = digest.strong;
    }
};

// The runs of candidates that share a size: they were collected one size after another.
template <typename Candidates, typename Visit>
inline void ForEachSizeBucket(Candidates& candidates, Visit visit) {
    for (std::size_t begin = 0; begin < candidates.size();) {
        std::size_t end = begin + 1;
        while (end < candidates.size() && candidates[end].size == candidates[begin].size) {
            ++end;
        }
        visit(begin, end);
        begin = end;
    }
}

}  // namespace krelix
