#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace krelix {

// CRC-32 (IEEE 802.3) as the 8-character text of the group key: the digest's four bytes,
// least significant first, each as two upper-case hex digits ("abc" gives C2412435).
std::string CrcTextOf(std::string_view bytes);

// Decimal size immediately followed by the CRC text; the size is all but the last 8 characters.
std::string MakeGroupKey(std::uint64_t size, std::string_view crcText);

// The CRC text of the regular file at path, read in 4096-byte chunks. Empty when the file cannot
// be opened or read, is not a regular file, holds other than expectedSize bytes (it changed since
// it was recorded, so it must not join the files of that size), or when stopFlag is set at a
// chunk.
std::optional<std::string> ComputeFileCrc(const std::string& path, std::uint64_t expectedSize,
                                          const std::atomic<std::int32_t>& stopFlag);

}  // namespace krelix
