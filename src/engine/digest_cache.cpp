#include "engine/digest_cache.h"

namespace krelix {

bool IsSettledForCache(const FileIdentity& identity, std::int64_t settledBeforeNs) {
    return identity.changedNs < settledBeforeNs;
}

}  // namespace krelix
