// The comparison's two stages: first blocks, then the rest where a first block is shared; and
// files whose size and CRC-32 agree but whose content does not.
#include <gtest/gtest.h>
#include <libdeflate.h>

#include <array>
#include <filesystem>
#include <random>
#include <set>

#include "compare_fixture.h"
#include "engine/file_crc.h"
#include "engine/hash_placement.h"
#include "scripted_runner.h"

namespace krelix::test {
namespace {

std::string Bytes(std::size_t size, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random());
    }
    return bytes;
}

std::uint32_t Crc(std::string_view bytes) {
    return libdeflate_crc32(0, bytes.data(), bytes.size());
}

// Replaces four bytes (the last ones unless told) so that the CRC-32 of the whole becomes
// `target`. The CRC of a message of fixed length is affine in its bits, so the four bytes solve
// a 32-bit linear system.
std::string ForceCrc(std::string bytes, std::uint32_t target, std::size_t at = std::string::npos) {
    at = at == std::string::npos ? bytes.size() - 4 : at;
    const auto crcWith = [&](std::uint32_t x) {
        for (int i = 0; i < 4; ++i) {
            bytes[at + i] = static_cast<char>(x >> (8 * i));
        }
        return Crc(bytes);
    };
    const std::uint32_t base = crcWith(0);
    std::array<std::pair<std::uint32_t, std::uint32_t>, 32> basis{};  // by top bit: image, x
    for (int i = 0; i < 32; ++i) {
        std::uint32_t image = crcWith(1u << i) ^ base;
        std::uint32_t x = 1u << i;
        for (int bit = 31; bit >= 0 && image != 0; --bit) {
            if ((image >> bit & 1) == 0) {
                continue;
            }
            if (basis[bit].first == 0) {
                basis[bit] = {image, x};
                break;
            }
            image ^= basis[bit].first;
            x ^= basis[bit].second;
        }
    }
    std::uint32_t wanted = target ^ base;
    std::uint32_t x = 0;
    for (int bit = 31; bit >= 0; --bit) {
        if (wanted >> bit & 1) {
            wanted ^= basis[bit].first;
            x ^= basis[bit].second;
        }
    }
    crcWith(x);
    return bytes;
}

class TwoStageTest : public CompareTest {
  protected:
    // Runs with every batch queued on a scripted runner; answers the number of batches.
    std::size_t RunQueued(std::function<void(std::size_t)> beforeTask = {}) {
        auto runner = std::make_unique<ScriptedRunner>(std::vector<std::size_t>{0});
        ScriptedRunner* scripted = runner.get();
        scripted->beforeTask = std::move(beforeTask);
        Run(std::move(runner));
        return scripted->ranFromQueue();
    }
};

TEST(ForceCrc, GivesTheWantedCrcToOtherContent) {
    const std::string a = Bytes(100, 1);
    const std::string c = ForceCrc(Bytes(100, 2), Crc(a));
    EXPECT_NE(a, c);
    EXPECT_EQ(Crc(a), Crc(c));
    EXPECT_EQ(CrcTextOf(a), CrcTextOf(c));
}

struct FirstStageCase {
    const char* name;
    std::uint64_t size;
    std::size_t differAt;  // the byte in which the pair differs; npos: equal
    std::size_t batches;   // first blocks, plus one when the rest had to be read
};

TEST_F(TwoStageTest, FirstStageDropsAFileAloneWithItsFirstBlock) {
    constexpr std::size_t kEqual = std::string::npos;
    const std::uint64_t block = kFirstBlockSize;
    const FirstStageCase cases[] = {
        {"short, equal", 100, kEqual, 1},
        {"short, first byte", 100, 0, 1},
        {"short, last byte", 100, 99, 1},
        {"one block, last byte", block, block - 1, 1},
        {"two blocks, last byte", 2 * block, 2 * block - 1, 2},
        {"two blocks, equal", 2 * block, kEqual, 2},
        {"long, first byte", 3 * block + 5, 0, 1},
        {"long, last byte of the first block", 3 * block + 5, block - 1, 1},
        {"long, first byte after the first block", 3 * block + 5, block, 2},
        {"long, last byte before the last block", 2 * block + 4, block + 3, 2},
        {"long, first byte of the last block", 3 * block + 5, 2 * block + 5, 1},
        {"long, last byte", 3 * block + 5, 3 * block + 4, 1},
        {"long, equal", 3 * block + 5, kEqual, 2},
    };
    for (const FirstStageCase& c : cases) {
        const std::string content = Bytes(c.size, 3);
        std::string other = content;
        if (c.differAt != kEqual) {
            other[c.differAt] = static_cast<char>(other[c.differAt] ^ 0x40);
        }
        tree.AddFile("case/a", content);
        tree.AddFile("case/b", other);
        EXPECT_EQ(c.batches, RunQueued()) << c.name;
        if (c.differAt == kEqual) {
            const Groups expected = {
                {MakeGroupKey(c.size, CrcTextOf(content)), {"case/a", "case/b"}}};
            EXPECT_EQ(expected, Duplicates()) << c.name;
        } else {
            EXPECT_TRUE(Duplicates().empty()) << c.name;
        }
        // Every candidate is announced once, and the share hashed ends at the whole.
        EXPECT_EQ(2, CountNotices(ProgressNotice::Kind::Comparing)) << c.name;
        EXPECT_EQ(2 * c.size, sink.notices.back().bytesHashed) << c.name;
        EXPECT_EQ(2 * c.size, sink.notices.back().bytesToHash) << c.name;
        std::filesystem::remove_all(tree.Path("case"));
    }
}

TEST_F(TwoStageTest, EqualSizeAndCrcButOtherContentIsNeverADuplicate) {
    const std::uint64_t block = kFirstBlockSize;
    for (const std::uint64_t size : {std::uint64_t{100}, 3 * block + 5}) {
        const std::string a = Bytes(size, 4);
        // The long variant shares its first and last blocks, so that only the second stage
        // tells.
        std::string c = a;
        if (size > block) {
            c.replace(block, size - 2 * block, Bytes(size - 2 * block, 5));
            c = ForceCrc(c, Crc(a), block);
        } else {
            c = ForceCrc(Bytes(size, 5), Crc(a));
        }
        ASSERT_NE(a, c);
        ASSERT_EQ(CrcTextOf(a), CrcTextOf(c));
        const std::string key = MakeGroupKey(size, CrcTextOf(a));

        // One of each: no group, and two keys.
        tree.AddFile("case/a1", a);
        tree.AddFile("case/c1", c);
        RunQueued();
        EXPECT_TRUE(Duplicates().empty()) << size;
        if (size > block) {
            const std::set<std::string> keys = {key, key + "-2"};
            std::set<std::string> found;
            for (const auto& [k, paths] : Results()) {
                found.insert(k);
            }
            EXPECT_EQ(keys, found);
        }

        // Two of each: two groups under distinct keys, the later one with a suffix.
        tree.AddFile("case/a2", a);
        tree.AddFile("case/c2", c);
        RunQueued();
        const Groups groups = Duplicates();
        ASSERT_EQ(2u, groups.size()) << size;
        ASSERT_EQ(1u, groups.count(key));
        ASSERT_EQ(1u, groups.count(key + "-2"));
        const std::vector<std::string> as = {"case/a1", "case/a2"};
        const std::vector<std::string> cs = {"case/c1", "case/c2"};
        const auto& first = groups.at(key);
        EXPECT_TRUE(first == as || first == cs);
        EXPECT_EQ(first == as ? cs : as, groups.at(key + "-2"));
        std::filesystem::remove_all(tree.Path("case"));
    }
}

TEST_F(TwoStageTest, StopDuringTheSecondStageKeepsWhatTheFirstHashedWhole) {
    tree.AddFile("short/a", "short pair");
    tree.AddFile("short/b", "short pair");
    const std::string long_ = Bytes(3 * kFirstBlockSize + 5, 6);
    tree.AddFile("long/a", long_);
    tree.AddFile("long/b", long_);
    // The first batch holds the first blocks; the stop comes before the second.
    EXPECT_EQ(2u, RunQueued([&](std::size_t ran) {
                  if (ran == 1) {
                      engine->stopFlag = 1;
                  }
              }));
    const Groups expected = {{"10" + CrcTextOf("short pair"), {"short/a", "short/b"}}};
    EXPECT_EQ(expected, Results());
}

TEST_F(TwoStageTest, StopDuringTheFirstStageLeavesTheSecondUnstarted) {
    for (int i = 0; i < 40; ++i) {
        tree.AddFile("long/" + std::to_string(i), Bytes(3 * kFirstBlockSize + 5, 7));
    }
    // The second batch of first blocks is refused at its first file; nothing is read further.
    EXPECT_EQ(2u, RunQueued([&](std::size_t ran) {
                  if (ran == 1) {
                      engine->stopFlag = 1;
                  }
              }));
    EXPECT_TRUE(Results().empty());
    EXPECT_EQ(kFirstStageBatchFiles + 1,
              static_cast<std::size_t>(CountNotices(ProgressNotice::Kind::Comparing)));
}

}  // namespace
}  // namespace krelix::test
