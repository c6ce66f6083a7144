#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "cache/hash_cache.h"
#include "cache_fixture.h"
#include "engine/compare_fixture.h"

namespace krelix::test {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kLarge = 100 * 1024;  // past the first and last blocks

std::string LargeContent(char seed, std::size_t differAt = std::string::npos) {
    std::string content(kLarge, seed);
    if (differAt != std::string::npos) {
        content[differAt] = '!';
    }
    return content;
}

// Searches with a cache file of their own; files just made count as settled.
class CachedSearchTest : public CompareTest {
  protected:
    void Search() {
        std::string notice;
        cache = HashCache::Open(cachePath, std::time(nullptr), notice);
        ASSERT_TRUE(cache) << notice;
        EXPECT_EQ("", notice);
        EngineOptions options;
        options.cacheSettleTime = std::chrono::nanoseconds(0);
        options.readingNoticeInterval = std::chrono::nanoseconds(0);
        engine = std::make_unique<CVornex>(SkipFolders{}, std::move(options));
        digestCache = cache.get();
        Run();
        digestCache = nullptr;
        said = cache->TakeNotice();
        cache.reset();
    }

    int ReadingNotices() const { return CountNotices(ProgressNotice::Kind::Reading); }

    // What a search without any cache finds.
    Groups Uncached() {
        engine = std::make_unique<CVornex>(SkipFolders{});
        Run();
        return Duplicates();
    }

    TempTree cacheFolder;
    std::string cachePath = cacheFolder.Path("krelix/hashes.sqlite");
    std::unique_ptr<HashCache> cache;
    std::string said;
};

TEST_F(CachedSearchTest, ARepeatSearchReadsNothingAndFindsTheSameGroups) {
    tree.AddFile("small/a.txt", "same words");
    tree.AddFile("small/b.txt", "same words");
    tree.AddFile("small/c.txt", "other word");  // same size, other content
    tree.AddFile("large/a.bin", LargeContent('L'));
    tree.AddFile("large/b.bin", LargeContent('L'));
    tree.AddFile("large/middle.bin", LargeContent('L', kLarge / 2));  // same first and last blocks
    tree.AddFile("large/start.bin", LargeContent('L', 10));  // read by the first stage only
    tree.AddFile("alone.bin", "a size of its own");

    Search();
    const Groups first = Duplicates();
    ASSERT_EQ(2u, first.size());
    EXPECT_FALSE(ComparedPaths().empty());
    EXPECT_GT(ReadingNotices(), 0);
    EXPECT_EQ(7u, EntriesIn(cachePath));  // alone.bin has no size to share

    Search();
    EXPECT_EQ(first, Duplicates());
    EXPECT_EQ(first, Uncached());
    Search();
    EXPECT_EQ(first, Duplicates());
    EXPECT_TRUE(ComparedPaths().empty());
    EXPECT_EQ(0, ReadingNotices());
    EXPECT_EQ("", said);
}

TEST_F(CachedSearchTest, WhatChangedSinceIsReadAgain) {
    tree.AddFile("large/a.bin", LargeContent('L'));
    tree.AddFile("large/b.bin", LargeContent('L'));
    tree.AddFile("large/c.bin", LargeContent('L'));
    tree.AddFile("small/a.txt", "same words");
    tree.AddFile("small/b.txt", "same words");
    tree.AddFile("single/one.bin", LargeContent('S'));
    tree.AddFile("single/filler.bin", LargeContent('F'));  // shares the size, not the blocks
    Search();
    ASSERT_EQ(2u, Duplicates().size());

    // An edit that puts the modification time back (touch -r) still moves the change time.
    tree.EditKeepingModifiedTime("large/c.bin", LargeContent('L', kLarge / 2));
    // Another file under what may well be the same inode number, with the same size.
    fs::remove(tree.Path("small/b.txt"));
    tree.AddFile("small/b.txt", "new  words");
    // A twin for a file whose rest was never read.
    tree.AddFile("single/two.bin", LargeContent('S'));

    Search();
    EXPECT_EQ(Uncached(), Duplicates());
    Search();
    const Groups groups = Duplicates();
    EXPECT_EQ(Uncached(), groups);
    ASSERT_EQ(2u, groups.size());
    std::vector<std::vector<std::string>> members;
    for (const auto& [key, paths] : groups) {
        members.push_back(paths);
    }
    std::sort(members.begin(), members.end());
    EXPECT_EQ((std::vector<std::string>{"large/a.bin", "large/b.bin"}), members[0]);
    EXPECT_EQ((std::vector<std::string>{"single/one.bin", "single/two.bin"}), members[1]);
}

TEST_F(CachedSearchTest, FilesChangedJustBeforeTheSearchAreNotKept) {
    tree.AddFile("a.txt", "same words");
    tree.AddFile("b.txt", "same words");
    std::string notice;
    cache = HashCache::Open(cachePath, std::time(nullptr), notice);
    engine = std::make_unique<CVornex>(SkipFolders{});
    digestCache = cache.get();  // with the real settle time
    Run();
    digestCache = nullptr;
    cache.reset();
    EXPECT_EQ(1u, Duplicates().size());
    EXPECT_EQ(0u, EntriesIn(cachePath));
}

TEST_F(CachedSearchTest, ADamagedCacheNeverChangesAGroup) {
    tree.AddFile("a.txt", "same words");
    tree.AddFile("b.txt", "same words");
    tree.AddFile("c.txt", LargeContent('c'));
    tree.AddFile("d.txt", LargeContent('c'));
    Search();
    {
        std::string notice;
        std::unique_ptr<HashCache> filler = HashCache::Open(cachePath, std::time(nullptr), notice);
        for (std::uint64_t inode = 1; inode < 20'000; ++inode) {
            filler->StoreFirstBlock(FileIdentity{1, inode, 1, 1}, 5, CompleteFirstBlock(1, 1));
        }
        filler->EndSearch(false);
    }
    {
        std::unique_ptr<HashCache> checkpoint =
            HashCache::Open(cachePath, std::time(nullptr), said);
    }
    std::fstream file(cachePath, std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(8192);
    const std::string junk(fs::file_size(cachePath) - 8192, '\x33');
    file.write(junk.data(), static_cast<std::streamsize>(junk.size()));
    file.close();

    Search();
    EXPECT_EQ(Uncached(), Duplicates());
    EXPECT_EQ(2u, Duplicates().size());
}

TEST_F(CachedSearchTest, TwoSearchesAtOnceShareTheCache) {
    for (int i = 0; i < 200; ++i) {
        const std::string content = "content " + std::to_string(i % 50);
        tree.AddFile("f" + std::to_string(i) + ".txt", content);
    }
    tree.AddFile("big1.bin", LargeContent('B'));
    tree.AddFile("big2.bin", LargeContent('B'));
    const Groups expected = Uncached();
    ASSERT_EQ(51u, expected.size());

    auto search = [this](Groups& found, std::string& notice) {
        std::unique_ptr<HashCache> own = HashCache::Open(cachePath, std::time(nullptr), notice);
        SearchRequest own_request = request;
        own_request.progressWindow = nullptr;
        own_request.completionEvent = nullptr;
        EngineOptions options;
        options.cacheSettleTime = std::chrono::nanoseconds(0);
        CVornex own_engine{SkipFolders{}, std::move(options)};
        own_engine.Run(own_request, own.get());
        for (const auto& [key, item] : own_engine.resultMap) {
            found[key].push_back(Relative(item.path));
        }
        std::erase_if(found, [](const auto& group) { return group.second.size() < 2; });
        for (auto& [key, paths] : found) {
            std::sort(paths.begin(), paths.end());
        }
        if (own) {
            own->EndSearch(true);
            notice += own->TakeNotice();
        }
    };
    Groups one, two;
    std::string noticeOne, noticeTwo;
    std::thread first(search, std::ref(one), std::ref(noticeOne));
    std::thread second(search, std::ref(two), std::ref(noticeTwo));
    first.join();
    second.join();
    EXPECT_EQ(expected, one);
    EXPECT_EQ(expected, two);
    EXPECT_EQ("", noticeOne);
    EXPECT_EQ("", noticeTwo);

    Search();
    EXPECT_EQ(expected, Duplicates());
    EXPECT_TRUE(ComparedPaths().empty());
}

}  // namespace
}  // namespace krelix::test
