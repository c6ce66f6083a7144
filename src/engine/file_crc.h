#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/read_only_file.h"

namespace krelix {

// A 128-bit hash of a file's bytes (XXH3-128), strong enough that two files of equal size and
// CRC-32 are taken as equal only when it agrees too.
struct StrongHash {
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    friend bool operator==(const StrongHash&, const StrongHash&) = default;
    friend auto operator<=>(const StrongHash&, const StrongHash&) = default;
};

// The two hashes of a file's content. crc is the finished IEEE CRC-32 once the file is read
// whole, and the running register (libdeflate's convention) after the first block only.
struct ContentDigest {
    std::uint32_t crc = 0;
    StrongHash strong;
    friend bool operator==(const ContentDigest&, const ContentDigest&) = default;
};

// The first block of a file, and of a file longer than two blocks the last one too, are hashed
// on their own: most files of a shared size differ there. A file of at most one block is read
// whole by the first stage.
inline constexpr std::uint64_t kFirstBlockSize = 16 * 1024;
// Reads after the first stage; the stop flag is polled once per chunk.
inline constexpr std::size_t kChunkSize = 256 * 1024;

// The bytes the first stage reads of a file of the given size.
constexpr std::uint64_t FirstStageBytes(std::uint64_t size) {
    return size <= kFirstBlockSize
               ? size
               : (size > 2 * kFirstBlockSize ? 2 * kFirstBlockSize : kFirstBlockSize);
}

// CRC-32 (IEEE 802.3) as the 8-character text of the group key: the digest's four bytes,
// least significant first, each as two upper-case hex digits ("abc" gives C2412435).
std::string CrcText(std::uint32_t crc);
std::string CrcTextOf(std::string_view bytes);

// Decimal size immediately followed by the CRC text; the size is all but the last 8 characters.
std::string MakeGroupKey(std::uint64_t size, std::string_view crcText);

// What the first stage learnt of a file.
struct FirstBlock {
    // Of the whole file when complete. Else crc is the first block's register and strong the
    // hash of the first (and last) block, which files of one size share when they agree there.
    ContentDigest digest;
    std::uint32_t lastBlockCrc = 0;  // of the last block, when the file has one of its own
    bool complete = false;
};

// Opens a file for the first stage and, with Advice::WillNeed, asks the kernel to start reading
// its first (and last) block, so that the blocks of several files opened one after another are
// read at the same time when the cache is cold. Empty when the path is not a regular file that
// can be opened. Given the walk's identity, the file's kind is left to HashFirstBlock's check
// after the read (or HashRest's), which it must then be hashed with.
enum class Advice { WillNeed, None };
std::optional<ReadOnlyFile> OpenFirstBlock(const std::string& path, std::uint64_t expectedSize,
                                           const FileIdentity* identity = nullptr,
                                           Advice advice = Advice::WillNeed);

// Hashes the bytes the first stage reads (FirstStageBytes). Empty when the file cannot be
// opened or read, is not a regular file, is found to hold other than expectedSize bytes, or when
// stopFlag is set after the read. Given an identity, a file read whole must still have it once
// read (ReadOnlyFile::IsSameVersion), so that bytes read while it changed are never taken.
std::optional<FirstBlock> HashFirstBlock(ReadOnlyFile& file, std::uint64_t expectedSize,
                                         const std::atomic<std::int32_t>& stopFlag,
                                         const FileIdentity* identity = nullptr);
std::optional<FirstBlock> HashFirstBlock(const std::string& path, std::uint64_t expectedSize,
                                         const std::atomic<std::int32_t>& stopFlag);

// Reads the bytes the first stage left, never those it read, and returns the digest of the
// whole content (its strong hash combines the first stage's and the rest's). Empty on the same
// failures as above, also when stopFlag is set at a chunk. Given an identity, the file must
// still have it at the end of the read: a file changed between the stages is never taken.
// onChunk is told the size of each chunk read, on the reading thread.
std::optional<ContentDigest> HashRest(const std::string& path, std::uint64_t expectedSize,
                                      const FirstBlock& first,
                                      const std::atomic<std::int32_t>& stopFlag,
                                      const FileIdentity* identity = nullptr,
                                      const std::function<void(std::uint64_t)>& onChunk = {});

// Whether the last OpenFirstBlock, HashFirstBlock or HashRest on this thread that came back
// empty failed because the file could not be opened or read (see IsUnreadableError), rather than
// because it vanished, changed or the run stopped. Per thread, as the pool's workers hash at
// once; ask right after the call, before the thread makes another.
bool LastReadFailed();

// Both stages in one: the digest of the whole file, equal to what the two stages give.
std::optional<ContentDigest> HashFile(const std::string& path, std::uint64_t expectedSize,
                                      const std::atomic<std::int32_t>& stopFlag);

// The CRC text of the regular file at path (see HashFile for failures).
std::optional<std::string> ComputeFileCrc(const std::string& path, std::uint64_t expectedSize,
                                          const std::atomic<std::int32_t>& stopFlag);

}  // namespace krelix
