// The comparison's use of the digest cache: digests found before the first stage, whole digests
// kept after the second.
#include <optional>
#include <vector>

#include "engine/comparison.h"
#include "engine/comparison_parts.h"
#include "engine/digest_cache.h"
#include "platform/stable_inodes.h"

namespace krelix {

void Comparison::FindCachedDigests() {
    if (cache == nullptr) {
        return;
    }
    std::vector<DigestLookup> lookups;
    ForEachSizeBucket(candidates_, [&](std::size_t begin, std::size_t end) {
        lookups.clear();
        for (std::size_t i = begin; i < end; ++i) {
            Candidate& candidate = candidates_[i];
            candidate.mayCache = MayCache(candidate);
            if (candidate.mayCache) {
                lookups.push_back({source_->Identity(candidate.index),
                                   static_cast<std::uint32_t>(i), std::nullopt});
            }
        }
        if (lookups.empty()) {
            return;
        }
        cache->FindOfSize(candidates_[begin].size, lookups);
        for (const DigestLookup& lookup : lookups) {
            if (lookup.found) {
                TakeCachedDigests(lookup.tag, *lookup.found);
            }
        }
    });
}

void Comparison::TakeCachedDigests(std::uint32_t index, const CachedDigests& found) {
    Candidate& candidate = candidates_[index];
    candidate.cached = true;
    candidate.SetDigest(found.first.digest);
    candidate.lastBlockCrc = found.first.lastBlockCrc;
    if (found.first.complete) {
        candidate.state = Candidate::State::Whole;
        bytesHashed_.fetch_add(candidate.size, std::memory_order_relaxed);
        return;
    }
    candidate.state = Candidate::State::FirstBlock;
    bytesHashed_.fetch_add(FirstStageBytes(candidate.size), std::memory_order_relaxed);
    if (found.whole) {
        cachedWholes_.push_back({index, *found.whole});
    }
}

bool Comparison::MayCache(const Candidate& candidate) {
    const FileIdentity& identity = source_->Identity(candidate.index);
    if (!IsSettledForCache(identity, settledBeforeNs)) {
        return false;
    }
    // Asked once per device, of the first of its files that gets here.
    const auto [known, added] = stableInodes_.try_emplace(identity.device, false);
    if (added) {
        known->second = HasStableInodes(source_->Path(candidate.index));
    }
    return known->second;
}

void Comparison::StoreWholes() {
    if (cache == nullptr) {
        return;
    }
    for (const Candidate& candidate : candidates_) {
        const FileIdentity& identity = source_->Identity(candidate.index);
        if (candidate.restHashed && candidate.mayCache) {
            cache->StoreWhole(identity, candidate.size,
                              ContentDigest{candidate.crc, candidate.strong});
        }
    }
}

}  // namespace krelix
