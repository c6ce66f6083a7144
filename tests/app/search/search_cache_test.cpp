#include <sys/stat.h>

#include <filesystem>

#include "app/search/hash_cache_clearing.h"
#include "app/search/search_fixture.h"

namespace krelix::test {
namespace {

using Paths = std::set<std::string>;

class SearchCacheTest : public SearchFixture {
  protected:
    static EngineOptions FilesMadeJustNow() {
        EngineOptions options;
        options.cacheSettleTime = std::chrono::nanoseconds(0);
        return options;
    }
    SearchCacheTest() : SearchFixture(FilesMadeJustNow()) {
        model.setHashCachePath(cacheFolder.Path("krelix/hashes.sqlite"));
        controller.SetNoticeHook([this](const ProgressNotice& notice) {
            if (notice.kind == ProgressNotice::Kind::Comparing) {
                ++compared;
            }
        });
        a = tree.AddFile("a.txt", "same");
        b = tree.AddFile("b.txt", "same");
        tree.AddFile("c.txt", "sama");
        Include(tree.root());
    }

    TempTree cacheFolder;
    std::atomic<int> compared{0};
    std::string a, b;
};

TEST_F(SearchCacheTest, ARepeatSearchTakesUnchangedFilesFromTheCache) {
    ASSERT_TRUE(SearchAndWait());
    EXPECT_EQ(GroupPaths(), (std::set<Paths>{{a, b}}));
    EXPECT_EQ(3, compared.load());
    EXPECT_TRUE(std::filesystem::is_regular_file(model.hashCachePath()));

    compared = 0;
    ASSERT_TRUE(SearchAndWait());
    EXPECT_EQ(GroupPaths(), (std::set<Paths>{{a, b}}));
    EXPECT_EQ(0, compared.load());
    EXPECT_EQ(Summary(), "Files scanned: 3 , duplicates: 2 ");
}

TEST_F(SearchCacheTest, NotRememberingReadsEverythingAndKeepsNothing) {
    model.setRememberHashes(false);
    ASSERT_TRUE(SearchAndWait());
    ASSERT_TRUE(SearchAndWait());
    EXPECT_EQ(6, compared.load());
    EXPECT_FALSE(std::filesystem::exists(model.hashCachePath()));
}

TEST_F(SearchCacheTest, ACacheThatCannotBeUsedIsNamedOnceAndTheSearchGoesOn) {
    const std::string fifo = cacheFolder.AddFifo("fifo");
    model.setHashCachePath(fifo);
    ASSERT_TRUE(SearchAndWait());
    EXPECT_EQ(GroupPaths(), (std::set<Paths>{{a, b}}));
    const std::string said =
        "The hash cache " + fifo + " is not a regular file; searching without it.";
    EXPECT_EQ(Summary(), "Files scanned: 3 , duplicates: 2  " + said);
    ASSERT_FALSE(prompts.fake.shown.empty());
    EXPECT_EQ(prompts.fake.shown.back().text.toStdString(),
              "Files scanned: 3 , duplicates: 2 \n" + said);
}

TEST_F(SearchCacheTest, ClearingAsksFirst) {
    ASSERT_TRUE(SearchAndWait());
    FakePrompts asked;
    asked.answers = {false};
    ClearHashCache(model.hashCachePath(), asked);
    ASSERT_EQ(1u, asked.shown.size());
    EXPECT_EQ(asked.shown[0].text,
              QStringLiteral("Clear the hash cache?\nThe next search reads every file again."));
    compared = 0;
    ASSERT_TRUE(SearchAndWait());
    EXPECT_EQ(0, compared.load());

    asked.answers = {true};
    ClearHashCache(model.hashCachePath(), asked);
    EXPECT_EQ(2u, asked.shown.size()) << "no complaint after the question";
    ASSERT_TRUE(SearchAndWait());
    EXPECT_EQ(3, compared.load());
}

}  // namespace
}  // namespace krelix::test
