#include "engine/digest_cache.h"

namespace krelix {

void DigestCache::FindOfSize(std::uint64_t size, std::span<DigestLookup> lookups) {
    for (DigestLookup& lookup : lookups) {
        lookup.found = Find(lookup.identity, size);
    }
}

bool IsSettledForCache(const FileIdentity& identity, std::int64_t settledBeforeNs) {
    return identity.changedNs < settledBeforeNs;
}

}  // namespace krelix
