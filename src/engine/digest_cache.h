#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "engine/file_crc.h"
#include "platform/file_identity.h"

namespace krelix {

// What earlier searches learnt of one version of a file: its first stage, and its whole content
// when it was read whole.
struct CachedDigests {
    FirstBlock first;
    std::optional<ContentDigest> whole;
};

// One file of a size asked for together with the others of that size.
struct DigestLookup {
    FileIdentity identity;
    std::uint32_t tag = 0;  // the caller's own, carried along
    std::optional<CachedDigests> found;
};

// Digests kept between searches, for files that have not changed since (same device, inode,
// size, modification and status-change time). Used by one search at a time: Find and EndSearch
// on its search thread, the stores also on its hashing threads, all before EndSearch. A store or
// lookup that fails is a miss: a cache never stops a search nor changes a group.
class DigestCache {
  public:
    virtual ~DigestCache() = default;
    virtual std::optional<CachedDigests> Find(const FileIdentity& identity, std::uint64_t size) = 0;
    // Find for files of one size, answered in found; may reorder them.
    virtual void FindOfSize(std::uint64_t size, std::span<DigestLookup> lookups);
    // What the first stage found (whole when it read the file whole).
    virtual void StoreFirstBlock(const FileIdentity& identity, std::uint64_t size,
                                 const FirstBlock& first) = 0;
    // The whole content's digest of a file whose first stage is stored.
    virtual void StoreWhole(const FileIdentity& identity, std::uint64_t size,
                            const ContentDigest& whole) = 0;
    // Called once after the comparison: writes what is still pending and, after a search that
    // ran to completion, forgets files not seen for a long time.
    virtual void EndSearch(bool completed) = 0;
};

// How long before the walk a file must have last changed for its digests to be kept: longer than
// any file system's timestamp granularity (FAT's two seconds included), so that a write after
// the walk's look at the file cannot leave its status-change time as it was.
inline constexpr std::int64_t kCacheSettleNs = 3'000'000'000;

// Whether digests of the file may be kept, as far as its times tell: its last change lies before
// settledBeforeNs (the walk's start less kCacheSettleNs). Its file system must keep inode numbers
// too (HasStableInodes).
bool IsSettledForCache(const FileIdentity& identity, std::int64_t settledBeforeNs);

}  // namespace krelix
