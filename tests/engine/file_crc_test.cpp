#include "engine/file_crc.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cryptopp/crc.h>

#include <atomic>
#include <fstream>
#include <future>
#include <random>

#include "support/temp_tree.h"

namespace krelix {
namespace {

// Crypto++'s CRC32 is the reference the faster CRC must agree with.
std::string OracleCrcText(std::string_view bytes) {
    CryptoPP::CRC32 crc;
    crc.Update(reinterpret_cast<const CryptoPP::byte*>(bytes.data()), bytes.size());
    CryptoPP::byte digest[CryptoPP::CRC32::DIGESTSIZE];
    crc.Final(digest);
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (const CryptoPP::byte b : digest) {
        text += kDigits[b >> 4];
        text += kDigits[b & 0xF];
    }
    return text;
}

std::string RandomBytes(std::mt19937& random, std::size_t size) {
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random());
    }
    return bytes;
}

TEST(CrcText, AgreesWithTheOracleOnRandomSizesAndAlignments) {
    std::mt19937 random(20240611);
    const std::string bytes = RandomBytes(random, 3 << 20);
    for (int i = 0; i < 300; ++i) {
        // Mostly short, sometimes long; any start, so that every alignment is met.
        const std::size_t size = i % 10 == 0 ? random() % bytes.size() / 2 : random() % 300;
        const std::size_t start = random() % (bytes.size() - size);
        const std::string_view part = std::string_view(bytes).substr(start, size);
        ASSERT_EQ(OracleCrcText(part), CrcTextOf(part)) << size << " bytes at " << start;
    }
    for (const char* known : {"", "a", "abc", "123456789", "The quick brown fox"}) {
        EXPECT_EQ(OracleCrcText(known), CrcTextOf(known)) << known;
    }
}

TEST(CrcText, IsTheDigestLeastSignificantByteFirst) {
    EXPECT_EQ("00000000", CrcTextOf(""));
    EXPECT_EQ("C2412435", CrcTextOf("abc"));
    EXPECT_EQ("2639F4CB", CrcTextOf("123456789"));  // CRC-32 check value 0xCBF43926
}

TEST(GroupKey, IsTheDecimalSizeFollowedByTheCrcText) {
    EXPECT_EQ("000000000", MakeGroupKey(0, "00000000"));
    EXPECT_EQ("1234C2412435", MakeGroupKey(1234, "C2412435"));
    EXPECT_EQ("4294967296C2412435", MakeGroupKey(4294967296ull, "C2412435"));
    EXPECT_EQ("18446744073709551615C2412435", MakeGroupKey(~0ull, "C2412435"));
}

class FileCrc : public ::testing::Test {
  protected:
    std::optional<std::string> Crc(const std::string& path, std::uint64_t size) {
        return ComputeFileCrc(path, size, stop);
    }
    test::TempTree tree;
    std::atomic<std::int32_t> stop{0};
};

TEST_F(FileCrc, MatchesTheCrcOfTheWholeContentAcrossChunks) {
    std::string content;
    for (int i = 0; i < 3 * 4096 + 17; ++i) {
        content.push_back(static_cast<char>(i * 31 + 7));
    }
    for (const std::string& text :
         {std::string("abc"), std::string(), std::string(4096, 'q'), content}) {
        const std::string path = tree.AddFile("f", text);
        EXPECT_EQ(CrcTextOf(text), Crc(path, text.size())) << text.size() << " bytes";
    }
}

// The two stages together give what one read of the whole file gives, whatever the size
// relative to the first block and the chunks.
TEST_F(FileCrc, TwoStagesAgreeWithTheOracleAtEveryBoundary) {
    std::mt19937 random(7);
    const std::uint64_t block = kFirstBlockSize;
    for (const std::uint64_t size :
         {std::uint64_t{0}, std::uint64_t{1}, block - 1, block, block + 1, 2 * block - 1, 2 * block,
          2 * block + 1, 3 * block, 2 * block + kChunkSize - 1, 2 * block + kChunkSize,
          2 * block + kChunkSize + 1, 2 * block + 2 * kChunkSize + 12345}) {
        const std::string content = RandomBytes(random, size);
        const std::string path = tree.AddFile("f", content);
        EXPECT_EQ(OracleCrcText(content), Crc(path, size)) << size << " bytes";
        const auto first = HashFirstBlock(path, size, stop);
        ASSERT_TRUE(first);
        EXPECT_EQ(size <= block, first->complete);
        const auto whole = HashFile(path, size, stop);
        ASSERT_TRUE(whole);
        if (!first->complete) {
            EXPECT_EQ(whole, HashRest(path, size, *first, stop));
        }
        // One differing byte, first, middle or last, changes the strong hash.
        if (size > 0) {
            for (const std::uint64_t at : {std::uint64_t{0}, size / 2, size - 1}) {
                std::string other = content;
                other[at] = static_cast<char>(other[at] ^ 1);
                const auto changed = HashFile(tree.AddFile("g", other), size, stop);
                ASSERT_TRUE(changed);
                EXPECT_NE(whole->strong, changed->strong) << size << " bytes, byte " << at;
            }
        }
    }
}

TEST_F(FileCrc, FailsForWhatIsNotTheRecordedRegularFile) {
    const std::string file = tree.AddFile("file", "abc");
    EXPECT_FALSE(Crc(tree.Path("missing"), 3));
    EXPECT_FALSE(Crc(tree.AddFolder("folder"), 0));
    EXPECT_FALSE(Crc(tree.AddSymlink("link", file), 3));
    // A file that shrank or grew since it was recorded must not join the files of the old size.
    EXPECT_FALSE(Crc(file, 2));
    EXPECT_FALSE(Crc(file, 4));
    EXPECT_FALSE(Crc(tree.AddSparseFile("sparse", 5000), 4096));
}

// Given the walk's identity, a small file is read without a read that finds its end: the
// version check after the read must be what refuses a file that grew or was rewritten.
TEST_F(FileCrc, AFileReadWholeMustStillBeTheWalkedVersion) {
    const auto walked = [](const std::string& path) {
        struct stat status {};
        EXPECT_EQ(0, ::stat(path.c_str(), &status));
        return IdentityOf(status);
    };
    const auto hash = [&](const std::string& path, std::uint64_t size,
                          const FileIdentity& identity) -> std::optional<FirstBlock> {
        std::optional<ReadOnlyFile> file = OpenFirstBlock(path, size, &identity);
        return file ? HashFirstBlock(*file, size, stop, &identity) : std::nullopt;
    };
    const std::string same = tree.AddFile("same", "abc");
    EXPECT_TRUE(hash(same, 3, walked(same)));

    const std::string grown = tree.AddFile("grown", "abc");
    const FileIdentity before = walked(grown);
    std::ofstream(grown, std::ios::app) << "d";
    EXPECT_FALSE(hash(grown, 3, before));

    const std::string rewritten = tree.AddFile("rewritten", "abc");
    const FileIdentity old = walked(rewritten);
    tree.Rewrite("rewritten", "xyz");
    EXPECT_FALSE(hash(rewritten, 3, old));
}

TEST_F(FileCrc, RefusesAFifoWithoutBlocking) {
    const std::string fifo = tree.AddFifo("pipe");
    auto result = std::async(std::launch::async, [&] { return Crc(fifo, 0); });
    if (result.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        ADD_FAILURE() << "hashing a FIFO blocked";
        ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK));  // releases the blocked reader
    }
    EXPECT_FALSE(result.get());
}

TEST_F(FileCrc, StopFailsAtTheFirstChunkButAnEmptyFileHasNone) {
    const std::string large(3 * kFirstBlockSize, 'l');
    const std::string path = tree.AddFile("large", large);
    const auto first = HashFirstBlock(path, large.size(), stop);
    ASSERT_TRUE(first);
    stop = 1;
    EXPECT_FALSE(Crc(tree.AddFile("one", "x"), 1));
    EXPECT_EQ("00000000", Crc(tree.AddFile("empty", ""), 0));
    EXPECT_FALSE(HashFirstBlock(path, large.size(), stop));
    EXPECT_FALSE(HashRest(path, large.size(), *first, stop));
}

}  // namespace
}  // namespace krelix
