#include "engine/file_crc.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <future>

#include "support/temp_tree.h"

namespace krelix {
namespace {

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
    stop = 1;
    EXPECT_FALSE(Crc(tree.AddFile("one", "x"), 1));
    EXPECT_EQ("00000000", Crc(tree.AddFile("empty", ""), 0));
}

}  // namespace
}  // namespace krelix
