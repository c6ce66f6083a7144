#include "engine/folder_prefetch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "engine/worker_pool.h"
#include "scripted_runner.h"
#include "support/temp_tree.h"

namespace krelix::test {
namespace {

std::vector<std::string> Names(const FolderListing& listing) {
    std::vector<std::string> names;
    for (const DirEntry& entry : listing.entries) {
        names.push_back(entry.name);
    }
    return names;
}

class FolderPrefetchTest : public ::testing::Test {
  protected:
    FolderPrefetchTest() {
        for (const char* folder : {"a", "b", "c"}) {
            for (int i = 0; i < 20; ++i) {
                tree.AddFile(std::string(folder) + "/f" + std::to_string(i), "x");
            }
        }
    }
    std::string Folder(const char* name) const { return tree.Path(name) + "/"; }

    TempTree tree;
    std::atomic<std::int32_t> stop{0};
};

TEST_F(FolderPrefetchTest, AListingReadAheadIsTheListingReadNow) {
    WorkerPool pool;
    FolderPrefetch prefetch(pool, stop);
    for (const char* name : {"a", "b", "c"}) {
        prefetch.Ahead(Folder(name));
    }
    for (const char* name : {"c", "a", "b"}) {
        const FolderListing ahead = prefetch.Take(Folder(name), FolderReader::Links::DoNotFollow);
        const FolderListing now = ReadListing(Folder(name), FolderReader::Links::DoNotFollow, stop);
        ASSERT_TRUE(ahead.opened);
        EXPECT_EQ(now.inode, ahead.inode);
        EXPECT_EQ(Names(now), Names(ahead)) << "the file system's order, every entry";
    }
    const FolderListing missing =
        prefetch.Take(Folder("missing"), FolderReader::Links::DoNotFollow);
    EXPECT_FALSE(missing.opened);
    EXPECT_NE(0, missing.error);
}

TEST_F(FolderPrefetchTest, TheWalkNeverWaitsForARunnerThatHasNotStarted) {
    // The runner keeps its tasks until Wait: every listing is read by the taker itself.
    ScriptedRunner idle({0});
    {
        FolderPrefetch prefetch(idle, stop);
        prefetch.Ahead(Folder("a"));
        prefetch.Ahead(Folder("b"));
        EXPECT_EQ(20u, prefetch.Take(Folder("a"), FolderReader::Links::DoNotFollow).entries.size());
    }
    // Tasks that run after the walk is gone find nothing left to do.
    EXPECT_EQ(2u, idle.queued());
    idle.Wait();
    EXPECT_EQ(0u, idle.queued());
}

}  // namespace
}  // namespace krelix::test
