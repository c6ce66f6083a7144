#include "engine/file_crc.h"

#include <cryptopp/crc.h>

#include <array>

#include "platform/read_only_file.h"

namespace krelix {
namespace {

constexpr std::size_t kChunkSize = 4096;

std::string FinishCrcText(CryptoPP::CRC32& crc) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::array<CryptoPP::byte, CryptoPP::CRC32::DIGESTSIZE> digest{};
    crc.Final(digest.data());
    std::string text;
    text.reserve(2 * digest.size());
    for (const CryptoPP::byte b : digest) {
        text.push_back(kDigits[b >> 4]);
        text.push_back(kDigits[b & 0xF]);
    }
    return text;
}

}  // namespace

std::string CrcTextOf(std::string_view bytes) {
    CryptoPP::CRC32 crc;
    crc.Update(reinterpret_cast<const CryptoPP::byte*>(bytes.data()), bytes.size());
    return FinishCrcText(crc);
}

std::string MakeGroupKey(std::uint64_t size, std::string_view crcText) {
    std::string key = std::to_string(size);
    key.append(crcText);
    return key;
}

std::optional<std::string> ComputeFileCrc(const std::string& path, std::uint64_t expectedSize,
                                          const std::atomic<std::int32_t>& stopFlag) {
    std::optional<ReadOnlyFile> file = ReadOnlyFile::Open(path);
    if (!file) {
        return std::nullopt;
    }
    CryptoPP::CRC32 crc;
    std::array<CryptoPP::byte, kChunkSize> buffer;
    std::uint64_t total = 0;
    for (;;) {
        const ssize_t n = file->Read(buffer.data(), buffer.size());
        if (n == 0) {
            break;
        }
        // A failed read would leave the CRC of a prefix under the full size's key.
        if (n < 0 || stopFlag.load(std::memory_order_relaxed) != 0) {
            return std::nullopt;
        }
        total += static_cast<std::uint64_t>(n);
        if (total > expectedSize) {
            return std::nullopt;
        }
        crc.Update(buffer.data(), static_cast<std::size_t>(n));
    }
    if (total != expectedSize) {
        return std::nullopt;
    }
    return FinishCrcText(crc);
}

}  // namespace krelix
