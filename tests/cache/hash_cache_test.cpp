#include "cache/hash_cache.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "cache_fixture.h"
#include "support/as_ordinary_user.h"

namespace krelix::test {
namespace {

namespace fs = std::filesystem;

FileIdentity Identity(std::uint64_t inode, std::int64_t changedNs = 1'700'000'000'123'456'789) {
    return FileIdentity{42, inode, changedNs - 5, changedNs};
}

void Sql(const std::string& path, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(path.c_str(), &db));
    EXPECT_EQ(SQLITE_OK, sqlite3_exec(db, sql, nullptr, nullptr, nullptr)) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

TEST_F(CacheTest, KeepsBothStagesAcrossOpensAndOnlyForTheSameVersion) {
    const FirstBlock partial{{0x1234, {7, 8}}, 0x99, false};
    const ContentDigest whole{0xABCDEF01, {~0ull, 1ull << 63}};  // every bit of both words
    {
        std::unique_ptr<HashCache> cache = Open();
        ASSERT_TRUE(cache) << notice;
        EXPECT_EQ("", notice);
        EXPECT_FALSE(cache->Find(Identity(1), 100));
        cache->StoreFirstBlock(Identity(1), 100, partial);
        cache->StoreWhole(Identity(1), 100, whole);
        cache->StoreFirstBlock(Identity(2), 10, CompleteFirstBlock(5, 6));
        // A whole digest for another version of a stored file is not taken.
        cache->StoreWhole(Identity(2, 1'700'000'000'000'000'001), 10, whole);
        cache->EndSearch(true);
    }
    EXPECT_EQ(fs::perms::owner_all,
              fs::status(fs::path(path).parent_path()).permissions() & fs::perms::all);

    std::unique_ptr<HashCache> cache = Open();
    ASSERT_TRUE(cache) << notice;
    const std::optional<CachedDigests> first = cache->Find(Identity(1), 100);
    ASSERT_TRUE(first);
    EXPECT_EQ(partial.digest, first->first.digest);
    EXPECT_EQ(partial.lastBlockCrc, first->first.lastBlockCrc);
    EXPECT_FALSE(first->first.complete);
    ASSERT_TRUE(first->whole);
    EXPECT_EQ(whole, *first->whole);

    const std::optional<CachedDigests> second = cache->Find(Identity(2), 10);
    ASSERT_TRUE(second);
    EXPECT_TRUE(second->first.complete);
    ASSERT_TRUE(second->whole);
    EXPECT_EQ(second->first.digest, *second->whole);

    // Any validator that differs is a miss: size, modification time, status-change time, and
    // another file under the same inode number (inode reuse).
    EXPECT_FALSE(cache->Find(Identity(1), 101));
    FileIdentity touched = Identity(1);
    touched.modifiedNs += 1;
    EXPECT_FALSE(cache->Find(touched, 100));
    EXPECT_FALSE(cache->Find(Identity(1, 1'700'000'000'123'456'790), 100));
    FileIdentity otherDevice = Identity(1);
    otherDevice.device = 43;
    EXPECT_FALSE(cache->Find(otherDevice, 100));

    // A new version replaces the old one.
    cache->StoreFirstBlock(Identity(1, 1'800'000'000'000'000'001), 100, CompleteFirstBlock(9, 9));
    cache->EndSearch(true);
    EXPECT_FALSE(cache->Find(Identity(1), 100));
    EXPECT_TRUE(cache->Find(Identity(1, 1'800'000'000'000'000'001), 100));
    EXPECT_EQ("", cache->TakeNotice());
}

// Files of one size are matched against the size's entries in one pass, whatever order they
// come in; inode numbers above 2^63 (SQLite sorts them as negative) and a cache holding far more
// of the size than the search (the pass gives up and looks the rest up one by one) included.
TEST_F(CacheTest, FilesOfOneSizeFindTheirEntriesTogether) {
    constexpr std::uint64_t kHigh = (1ull << 63) + 5;
    {
        std::unique_ptr<HashCache> cache = Open();
        ASSERT_TRUE(cache) << notice;
        for (std::uint64_t inode = 1; inode <= 200; ++inode) {
            cache->StoreFirstBlock(Identity(inode), 64, CompleteFirstBlock(inode, 0));
        }
        cache->StoreFirstBlock(Identity(kHigh), 64, CompleteFirstBlock(7, 7));
        cache->StoreFirstBlock(Identity(3), 65, CompleteFirstBlock(1, 1));  // another size
        cache->EndSearch(true);
    }
    std::unique_ptr<HashCache> cache = Open();
    ASSERT_TRUE(cache) << notice;
    FileIdentity changed = Identity(9);
    changed.changedNs += 1;
    const auto lookup = [](FileIdentity identity, std::uint32_t tag) {
        return DigestLookup{identity, tag, std::nullopt};
    };
    // Near the start of the size's entries, and at its far end beyond what one pass may pass over.
    for (const std::uint64_t far : {std::uint64_t{12}, std::uint64_t{190}}) {
        std::vector<DigestLookup> lookups{lookup(Identity(kHigh), 0), lookup(Identity(far), 1),
                                          lookup(Identity(4), 2),     lookup(changed, 3),
                                          lookup(Identity(500), 4),   lookup(Identity(2), 5)};
        cache->FindOfSize(64, lookups);
        std::map<std::uint32_t, std::optional<CachedDigests>> found;
        for (const DigestLookup& each : lookups) {
            found[each.tag] = each.found;
        }
        ASSERT_TRUE(found[0]) << far;
        EXPECT_EQ(CompleteFirstBlock(7, 7).digest, found[0]->first.digest);
        ASSERT_TRUE(found[1]) << far;
        EXPECT_EQ(CompleteFirstBlock(far, 0).digest, found[1]->first.digest);
        ASSERT_TRUE(found[2]);
        EXPECT_EQ(CompleteFirstBlock(4, 0).digest, found[2]->first.digest);
        EXPECT_FALSE(found[3]) << "another version of a cached file";
        EXPECT_FALSE(found[4]) << "never cached";
        ASSERT_TRUE(found[5]);
        EXPECT_EQ(CompleteFirstBlock(2, 0).digest, found[5]->first.digest);
    }
}

TEST_F(CacheTest, ForgetsFilesNotSeenForNinetyDaysAfterACompleteSearch) {
    {
        std::unique_ptr<HashCache> cache = Open(kSomeDay);
        ASSERT_TRUE(cache);
        cache->StoreFirstBlock(Identity(1), 1, CompleteFirstBlock(1, 1));
        cache->StoreFirstBlock(Identity(2), 1, CompleteFirstBlock(2, 2));
        cache->EndSearch(true);
    }
    {
        // Seen again on day 60: kept from then on.
        std::unique_ptr<HashCache> cache = Open(kSomeDay + 60 * kDay);
        ASSERT_TRUE(cache->Find(Identity(1), 1));
        cache->EndSearch(true);
    }
    {
        // A stopped search forgets nothing.
        std::unique_ptr<HashCache> cache = Open(kSomeDay + 100 * kDay);
        cache->EndSearch(false);
        EXPECT_EQ(2u, EntriesIn(path));
    }
    std::unique_ptr<HashCache> cache = Open(kSomeDay + 100 * kDay);
    cache->EndSearch(true);
    EXPECT_TRUE(cache->Find(Identity(1), 1));
    EXPECT_FALSE(cache->Find(Identity(2), 1));

    EXPECT_TRUE(cache->Clear());
    EXPECT_FALSE(cache->Find(Identity(1), 1));
}

TEST_F(CacheTest, FilesThatCannotBeTheCacheAreLeftAsTheyAreAndSaySo) {
    folder.AddFolder("cache/krelix");
    // A FIFO would block a reader forever; a symbolic link could point anywhere.
    folder.AddFifo("cache/krelix/hashes.sqlite");
    EXPECT_FALSE(Open());
    EXPECT_NE(std::string::npos, notice.find("is not a regular file")) << notice;
    EXPECT_TRUE(fs::is_fifo(path));
    fs::remove(path);

    const std::string target = folder.AddFile("elsewhere.txt", "not a cache");
    folder.AddSymlink("cache/krelix/hashes.sqlite", target);
    EXPECT_FALSE(Open());
    EXPECT_NE(std::string::npos, notice.find("is not a regular file")) << notice;
    EXPECT_EQ("not a cache", folder.Read("elsewhere.txt"));
    fs::remove(path);

    // A newer version's cache stays for that version.
    {
        std::unique_ptr<HashCache> cache = Open();
        ASSERT_TRUE(cache);
    }
    Sql(path, "PRAGMA user_version = 7");
    const auto size = fs::file_size(path);
    EXPECT_FALSE(Open());
    EXPECT_NE(std::string::npos, notice.find("newer version")) << notice;
    EXPECT_EQ(size, fs::file_size(path));
    fs::remove(path);

    // No home folder known at all.
    std::string none;
    EXPECT_FALSE(HashCache::Open("", kSomeDay, none));
    EXPECT_NE("", none);
}

TEST_F(CacheTest, AReadOnlyCacheIsNotUsed) {
    {
        std::unique_ptr<HashCache> cache = Open();
        ASSERT_TRUE(cache);
        cache->StoreFirstBlock(Identity(1), 1, CompleteFirstBlock(1, 1));
    }
    ASSERT_EQ(0, ::chmod(path.c_str(), 0444));
    for (const char* reachable : {"", "cache", "cache/krelix"}) {
        folder.SetMode(reachable, 0755);
    }
    const ChildOutcome outcome = RunAsOrdinaryUser([&] {
        std::string said;
        return !HashCache::Open(path, kSomeDay, said) &&
               said.find("cannot be written") != std::string::npos;
    });
    if (outcome == ChildOutcome::CannotDropRoot) {
        GTEST_SKIP() << "cannot become an ordinary user";
    }
    // The child runs as "nobody", who can write nothing here.
    EXPECT_EQ(ChildOutcome::Passed, outcome);
    if (!RunningAsRoot()) {
        EXPECT_FALSE(Open());
        EXPECT_NE(std::string::npos, notice.find("cannot be written")) << notice;
    }
}

TEST_F(CacheTest, ADamagedFileIsSetAsideAndANewCacheStarted) {
    folder.AddFolder("cache/krelix");
    {
        std::ofstream garbage(path, std::ios::binary);
        for (int i = 0; i < 4096; ++i) {
            garbage << "not a database ";
        }
    }
    std::unique_ptr<HashCache> cache = Open();
    ASSERT_TRUE(cache) << notice;
    const std::string said = cache->TakeNotice();
    EXPECT_NE(std::string::npos, said.find("was damaged; it was kept as")) << said;
    EXPECT_EQ("", cache->TakeNotice());  // told once
    int kept = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(path).parent_path())) {
        if (entry.path().filename().string().starts_with("hashes.sqlite.damaged-")) {
            ++kept;
            EXPECT_EQ(4096u * 15, fs::file_size(entry.path()));
        }
    }
    EXPECT_EQ(1, kept);
    cache->StoreFirstBlock(Identity(1), 1, CompleteFirstBlock(1, 1));
    cache->EndSearch(true);
    EXPECT_TRUE(cache->Find(Identity(1), 1));
}

TEST_F(CacheTest, DamageFoundInUseTurnsIntoMissesAndSetsTheFileAsideAtTheEnd) {
    {
        std::unique_ptr<HashCache> cache = Open();
        ASSERT_TRUE(cache);
        for (std::uint64_t inode = 1; inode <= 20'000; ++inode) {
            cache->StoreFirstBlock(Identity(inode), inode, CompleteFirstBlock(1, inode));
        }
        cache->EndSearch(true);
    }
    Sql(path, "PRAGMA wal_checkpoint(TRUNCATE)");
    {
        // The last pages, written last: the files of the largest sizes.
        std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
        const auto size = static_cast<std::streamoff>(fs::file_size(path));
        file.seekp(size - size / 8);
        const std::string junk(static_cast<std::size_t>(size / 8), '\x5A');
        file.write(junk.data(), static_cast<std::streamsize>(junk.size()));
    }
    std::unique_ptr<HashCache> cache = Open();
    ASSERT_TRUE(cache) << notice;
    EXPECT_EQ("", notice) << "not seen before the damaged pages are read";
    EXPECT_FALSE(cache->Find(Identity(19'999), 19'999));
    EXPECT_FALSE(cache->Find(Identity(7), 7)) << "no more lookups once damage was seen";
    cache->StoreFirstBlock(Identity(9), 1, CompleteFirstBlock(1, 1));
    cache->EndSearch(true);
    const std::string said = cache->TakeNotice();
    EXPECT_NE(std::string::npos, said.find("damaged")) << said;
    EXPECT_FALSE(fs::exists(path));
    cache.reset();

    std::unique_ptr<HashCache> fresh = Open();
    ASSERT_TRUE(fresh) << notice;
    EXPECT_EQ("", notice);
}

TEST_F(CacheTest, TwoProgramsShareOneCache) {
    { ASSERT_TRUE(Open()); }
    // Each writes in many transactions while the other reads and writes.
    auto search = [this](std::uint64_t firstInode, std::string& said) {
        std::unique_ptr<HashCache> cache = HashCache::Open(path, kSomeDay, said);
        if (!cache) {
            return;
        }
        for (std::uint64_t inode = firstInode; inode < firstInode + 20'000; ++inode) {
            cache->Find(Identity(inode), inode);
            cache->StoreFirstBlock(Identity(inode), inode, CompleteFirstBlock(1, inode));
        }
        cache->EndSearch(true);
        said += cache->TakeNotice();
    };
    std::string saidA, saidB;
    std::thread a(search, 1, std::ref(saidA));
    std::thread b(search, 100'000, std::ref(saidB));
    a.join();
    b.join();
    EXPECT_EQ("", saidA);
    EXPECT_EQ("", saidB);
    EXPECT_EQ(40'000u, EntriesIn(path));
}

TEST_F(CacheTest, ALockHeldTooLongDropsThisSearchsWritesButNotItsLookups) {
    {
        std::unique_ptr<HashCache> cache = Open();
        cache->StoreFirstBlock(Identity(1), 1, CompleteFirstBlock(1, 1));
    }
    sqlite3* other = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(path.c_str(), &other));
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(other, "BEGIN IMMEDIATE; DELETE FROM facts;", nullptr,
                                      nullptr, nullptr));
    {
        std::unique_ptr<HashCache> cache = Open(kSomeDay, std::chrono::milliseconds(50));
        ASSERT_TRUE(cache) << notice;
        EXPECT_TRUE(cache->Find(Identity(1), 1));
        cache->StoreFirstBlock(Identity(2), 1, CompleteFirstBlock(2, 2));
        cache->EndSearch(true);
        const std::string said = cache->TakeNotice();
        EXPECT_NE(std::string::npos, said.find("not kept")) << said;
    }
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(1u, EntriesIn(path));
}

TEST_F(CacheTest, AFullDiskLosesOnlyTheNewHashes) {
    {
        std::unique_ptr<HashCache> cache = Open();
        cache->StoreFirstBlock(Identity(1), 1, CompleteFirstBlock(1, 1));
    }
    // A file size limit stands in for a full disk: writes past it fail with EFBIG.
    struct sigaction ignore {
    }, previous{};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &previous);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit tight = old;
    tight.rlim_cur = 64 * 1024;
    std::string said;
    {
        std::unique_ptr<HashCache> cache = Open();
        ASSERT_TRUE(cache) << notice;
        ::setrlimit(RLIMIT_FSIZE, &tight);
        for (std::uint64_t inode = 2; inode < 20'000; ++inode) {
            cache->StoreFirstBlock(Identity(inode), inode, CompleteFirstBlock(1, inode));
        }
        cache->EndSearch(true);
        EXPECT_TRUE(cache->Find(Identity(1), 1));
        said = cache->TakeNotice();
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::sigaction(SIGXFSZ, &previous, nullptr);
    EXPECT_NE(std::string::npos, said.find("not kept")) << said;
    std::unique_ptr<HashCache> cache = Open();
    ASSERT_TRUE(cache) << notice;
    EXPECT_TRUE(cache->Find(Identity(1), 1));
}

// Puts the variable back as it was when the test ends.
class SavedVariable {
  public:
    explicit SavedVariable(const char* name) : name_(name) {
        const char* value = std::getenv(name);
        set_ = value != nullptr;
        value_ = set_ ? value : "";
    }
    ~SavedVariable() {
        if (set_) {
            ::setenv(name_, value_.c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }

  private:
    const char* name_;
    bool set_;
    std::string value_;
};

TEST(HashCachePath, FollowsTheCacheHome) {
    SavedVariable cacheHome("XDG_CACHE_HOME");
    SavedVariable home("HOME");
    ::setenv("XDG_CACHE_HOME", "/srv/cache", 1);
    EXPECT_EQ("/srv/cache/krelix/hashes.sqlite", DefaultHashCachePath());
    ::setenv("XDG_CACHE_HOME", "relative/ignored", 1);
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ("/home/someone/.cache/krelix/hashes.sqlite", DefaultHashCachePath());
}

}  // namespace
}  // namespace krelix::test
