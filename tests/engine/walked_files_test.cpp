#include "engine/walked_files.h"

#include <gtest/gtest.h>

#include "engine/compare_source.h"

namespace krelix {
namespace {

DirEntry Entry(std::string name, std::uint64_t size, std::int64_t modifiedNs) {
    DirEntry entry;
    entry.kind = EntryKind::Regular;
    entry.name = std::move(name);
    entry.size = size;
    entry.identity = {7, 42, modifiedNs, modifiedNs + 5};
    entry.created = 11;
    entry.accessed = 12;
    return entry;
}

// The lean table gives back the very record the walk saw, times before 1970 included.
TEST(WalkedFiles, GivesBackTheRecordTheWalkSaw) {
    WalkedFiles walked;
    const std::uint32_t a = walked.AddFolder("/data/a/");
    walked.Add(Entry("one.txt", 3, 1'700'000'000'999'999'999), a);
    const std::uint32_t b = walked.AddFolder("/data/b b/");
    walked.Add(Entry("\xFF name", 0, -1'500'000'000), b);
    walked.Add(Entry("", 9, 0), b);
    ASSERT_EQ(3u, walked.size());

    const CFileItem first = walked.ItemOf(walked.files()[0]);
    EXPECT_EQ("one.txt", first.name());
    EXPECT_EQ("/data/a/one.txt", first.path);
    EXPECT_EQ(3u, first.size);
    EXPECT_EQ(1'700'000'000, first.modified);
    EXPECT_EQ(11, first.created);
    EXPECT_EQ(12, first.accessed);
    EXPECT_EQ((FileIdentity{7, 42, 1'700'000'000'999'999'999, 1'700'000'001'000'000'004}),
              first.identity);

    const CFileItem second = walked.ItemOf(walked.files()[1]);
    EXPECT_EQ("/data/b b/\xFF name", second.path);
    EXPECT_EQ(-2, second.modified) << "rounded down, as the file system reports seconds";
    EXPECT_EQ("/data/b b/", walked.PathOf(walked.files()[2]));

    // The comparison keeps some files in an order of its own; their names and folders stay.
    walked.KeepOnly({2, 0});
    ASSERT_EQ(2u, walked.size());
    EXPECT_EQ("/data/b b/", walked.PathOf(walked.files()[0]));
    EXPECT_EQ("/data/a/one.txt", walked.ItemOf(walked.files()[1]).path);

    walked.Clear();
    EXPECT_EQ(0u, walked.size());
}

// Kept in place along cycles of any shape, and again after the names' room is given back.
TEST(WalkedFiles, KeepsTheNamedFilesInTheirNewOrderWithTheirOwnNames) {
    WalkedFiles walked;
    const std::uint32_t folder = walked.AddFolder("/d/");
    for (std::uint64_t i = 0; i < 12; ++i) {
        walked.Add(Entry("file" + std::to_string(i), i, static_cast<std::int64_t>(i)), folder);
    }
    const auto paths = [&walked] {
        std::vector<std::string> all;
        for (const auto& file : walked.files()) {
            all.push_back(walked.PathOf(file) + "=" + std::to_string(file.size));
        }
        return all;
    };
    // A cycle 0->3->9->0, a swap 5<->7, 11 to the front's neighbour, the rest dropped.
    walked.KeepOnly({9, 1, 7, 0, 11, 5, 3});
    EXPECT_EQ((std::vector<std::string>{"/d/file9=9", "/d/file1=1", "/d/file7=7", "/d/file0=0",
                                        "/d/file11=11", "/d/file5=5", "/d/file3=3"}),
              paths());
    // Few enough that the names are copied into a buffer of their own.
    walked.KeepOnly({4, 2});
    EXPECT_EQ((std::vector<std::string>{"/d/file11=11", "/d/file7=7"}), paths());
    EXPECT_EQ(7, walked.ItemOf(walked.files()[1]).identity.modifiedNs);
    walked.KeepOnly({});
    EXPECT_EQ(0u, walked.size());
}

// The comparison's records are made front to back while the table's front goes: a file keeps
// its index as the files before it are released, across the table's blocks.
TEST(WalkedFiles, FilesKeepTheirIndexWhileTheFrontIsReleased) {
    WalkedFiles walked;
    const std::uint32_t folder = walked.AddFolder("/d/");
    constexpr std::size_t kFiles = 10'000;  // more than two of the table's blocks
    for (std::size_t i = 0; i < kFiles; ++i) {
        walked.Add(Entry("f" + std::to_string(i), i, 0), folder);
    }
    WalkedSource source(walked);
    for (std::size_t i = 0; i < kFiles; i += 997) {
        EXPECT_EQ(source.TakeItem(i).path, "/d/f" + std::to_string(i));
        source.ReleaseBefore(i);
        EXPECT_EQ(source.Count(), kFiles);
        EXPECT_EQ(walked.size(), kFiles - i);
        EXPECT_EQ(source.Size(i + 1), i + 1);
    }
    source.ReleaseBefore(5);  // already released: nothing happens
    EXPECT_EQ(source.Path(kFiles - 1), "/d/f9999");
    source.ReleaseBefore(kFiles + 10);
    EXPECT_EQ(walked.size(), 0u);
}

}  // namespace
}  // namespace krelix
