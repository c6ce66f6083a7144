#include "engine/file_crc.h"

#include <libdeflate.h>
#include <xxhash.h>
// The library picks the widest vector unit the processor has (AVX2 rather than SSE2).
#include <xxh_x86dispatch.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <memory>

#include "platform/read_failure.h"

namespace krelix {
namespace {

StrongHash FromXxh(const XXH128_hash_t& hash) {
    return StrongHash{hash.low64, hash.high64};
}

StrongHash HashOfBoth(const StrongHash& a, const StrongHash& b) {
    const std::array<std::uint64_t, 4> both = {a.low, a.high, b.low, b.high};
    return FromXxh(XXH3_128bits(both.data(), sizeof both));
}

bool HasLastBlock(std::uint64_t size) {
    return size > 2 * kFirstBlockSize;
}

thread_local bool t_readFailed = false;

// Notes a failed read; answers whether it failed (n < 0).
bool ReadFailed(ssize_t n) {
    if (n < 0) {
        t_readFailed = true;
    }
    return n < 0;
}

std::optional<ReadOnlyFile> OpenNoting(const std::string& path, bool checked = true) {
    int error = 0;
    std::optional<ReadOnlyFile> file =
        checked ? ReadOnlyFile::Open(path, error) : ReadOnlyFile::OpenUnchecked(path, error);
    t_readFailed = !file && IsUnreadableError(error);
    return file;
}

bool Stopped(const std::atomic<std::int32_t>& stopFlag) {
    return stopFlag.load(std::memory_order_relaxed) != 0;
}

// Per thread, so that neither the chunk buffer nor the hash state is allocated per file.
struct RestScratch {
    RestScratch() : buffer(new unsigned char[kChunkSize]), state(XXH3_createState()) {}
    ~RestScratch() { XXH3_freeState(state); }
    RestScratch(const RestScratch&) = delete;
    RestScratch& operator=(const RestScratch&) = delete;
    std::unique_ptr<unsigned char[]> buffer;
    XXH3_state_t* state;
};

}  // namespace

std::string CrcText(std::uint32_t crc) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(8, '0');
    for (int i = 0; i < 4; ++i) {
        const unsigned b = (crc >> (8 * i)) & 0xFF;
        text[2 * i] = kDigits[b >> 4];
        text[2 * i + 1] = kDigits[b & 0xF];
    }
    return text;
}

std::string CrcTextOf(std::string_view bytes) {
    return CrcText(libdeflate_crc32(0, bytes.data(), bytes.size()));
}

std::string MakeGroupKey(std::uint64_t size, std::string_view crcText) {
    std::string key = std::to_string(size);
    key.append(crcText);
    return key;
}

bool LastReadFailed() {
    return t_readFailed;
}

std::optional<ReadOnlyFile> OpenFirstBlock(const std::string& path, std::uint64_t expectedSize,
                                           const FileIdentity* identity, Advice advice) {
    std::optional<ReadOnlyFile> file = OpenNoting(path, identity == nullptr);
    if (file && expectedSize > 0 && advice == Advice::WillNeed) {
        file->AdviseWillNeed(0, std::min(expectedSize, kFirstBlockSize));
        if (HasLastBlock(expectedSize)) {
            file->AdviseWillNeed(expectedSize - kFirstBlockSize, kFirstBlockSize);
        }
    }
    return file;
}

std::optional<FirstBlock> HashFirstBlock(ReadOnlyFile& file, std::uint64_t expectedSize,
                                         const std::atomic<std::int32_t>& stopFlag,
                                         const FileIdentity* identity) {
    t_readFailed = false;
    FirstBlock result;
    result.complete = expectedSize <= kFirstBlockSize;
    // One byte more than a whole small file, so that a file that grew since the walk shows.
    const std::size_t wanted =
        result.complete ? static_cast<std::size_t>(expectedSize) + 1 : kFirstBlockSize;
    std::array<unsigned char, kFirstBlockSize + 1> buffer;
    std::size_t total = 0;
    while (total < wanted) {
        const ssize_t n = file.Read(buffer.data() + total, wanted - total);
        if (n == 0) {
            break;
        }
        // A failed read would leave the hash of a prefix under the full size's key.
        if (ReadFailed(n)) {
            return std::nullopt;
        }
        total += static_cast<std::size_t>(n);
        // The version check below sees a file that grew, so no read need find its end.
        if (result.complete && identity != nullptr && total == expectedSize) {
            break;
        }
    }
    if (total != std::min<std::uint64_t>(expectedSize, kFirstBlockSize)) {
        return std::nullopt;
    }
    // An empty file has no chunk to stop at.
    if (total > 0 && Stopped(stopFlag)) {
        return std::nullopt;
    }
    if (result.complete && identity != nullptr && !file.IsSameVersion(expectedSize, *identity)) {
        return std::nullopt;
    }
    result.digest.crc = libdeflate_crc32(0, buffer.data(), total);
    result.digest.strong = FromXxh(XXH3_128bits(buffer.data(), total));
    if (HasLastBlock(expectedSize)) {
        // One byte more than the file should have, to see that it did not grow.
        const ssize_t n =
            file.ReadAt(buffer.data(), kFirstBlockSize + 1, expectedSize - kFirstBlockSize);
        if (ReadFailed(n) || n != static_cast<ssize_t>(kFirstBlockSize) || Stopped(stopFlag)) {
            return std::nullopt;
        }
        result.lastBlockCrc = libdeflate_crc32(0, buffer.data(), kFirstBlockSize);
        result.digest.strong =
            HashOfBoth(result.digest.strong, FromXxh(XXH3_128bits(buffer.data(), kFirstBlockSize)));
    }
    return result;
}

std::optional<FirstBlock> HashFirstBlock(const std::string& path, std::uint64_t expectedSize,
                                         const std::atomic<std::int32_t>& stopFlag) {
    std::optional<ReadOnlyFile> file = OpenNoting(path);
    if (!file) {
        return std::nullopt;
    }
    return HashFirstBlock(*file, expectedSize, stopFlag);
}

std::optional<ContentDigest> HashRest(const std::string& path, std::uint64_t expectedSize,
                                      const FirstBlock& first,
                                      const std::atomic<std::int32_t>& stopFlag,
                                      const FileIdentity* identity,
                                      const std::function<void(std::uint64_t)>& onChunk) {
    std::optional<ReadOnlyFile> file = OpenNoting(path);
    if (!file) {
        return std::nullopt;
    }
    file->AdviseSequential();
    thread_local RestScratch scratch;
    unsigned char* const buffer = scratch.buffer.get();
    XXH3_128bits_reset(scratch.state);
    const bool lastBlock = HasLastBlock(expectedSize);
    // The bytes between the first block and the last (or the end): read up to `end`, and then
    // one byte further, which must not be there (or be the last block's first).
    const std::uint64_t end = lastBlock ? expectedSize - kFirstBlockSize : expectedSize;
    std::uint32_t crc = first.digest.crc;
    std::uint64_t offset = kFirstBlockSize;
    while (offset < end) {
        const std::size_t wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(kChunkSize, end - offset));
        const ssize_t n = file->ReadAt(buffer, wanted, offset);
        // A failed or short read leaves the file shorter than recorded.
        if (ReadFailed(n) || n == 0 || Stopped(stopFlag)) {
            return std::nullopt;
        }
        crc = libdeflate_crc32(crc, buffer, static_cast<std::size_t>(n));
        XXH3_128bits_update(scratch.state, buffer, static_cast<std::size_t>(n));
        offset += static_cast<std::uint64_t>(n);
        if (onChunk) {
            onChunk(static_cast<std::uint64_t>(n));
        }
    }
    // A file that grew or shrank since it was recorded must not join the files of its old size.
    const ssize_t beyond = file->ReadAt(buffer, 1, expectedSize);
    if (ReadFailed(beyond) || beyond != 0 ||
        (lastBlock && file->ReadAt(buffer, 1, expectedSize - 1) != 1)) {
        return std::nullopt;
    }
    if (identity != nullptr && !file->IsSameVersion(expectedSize, *identity)) {
        return std::nullopt;
    }
    if (lastBlock) {
        crc = static_cast<std::uint32_t>(
            crc32_combine(crc, first.lastBlockCrc, static_cast<z_off_t>(kFirstBlockSize)));
    }
    const StrongHash rest = FromXxh(XXH3_128bits_digest(scratch.state));
    return ContentDigest{crc, HashOfBoth(first.digest.strong, rest)};
}

std::optional<ContentDigest> HashFile(const std::string& path, std::uint64_t expectedSize,
                                      const std::atomic<std::int32_t>& stopFlag) {
    const std::optional<FirstBlock> first = HashFirstBlock(path, expectedSize, stopFlag);
    if (!first) {
        return std::nullopt;
    }
    if (first->complete) {
        return first->digest;
    }
    return HashRest(path, expectedSize, *first, stopFlag);
}

std::optional<std::string> ComputeFileCrc(const std::string& path, std::uint64_t expectedSize,
                                          const std::atomic<std::int32_t>& stopFlag) {
    const std::optional<ContentDigest> digest = HashFile(path, expectedSize, stopFlag);
    if (!digest) {
        return std::nullopt;
    }
    return CrcText(digest->crc);
}

}  // namespace krelix
