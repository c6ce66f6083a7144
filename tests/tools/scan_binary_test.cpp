// krelix-scan run as a program on real trees: its output, summary and exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "scan_run.h"
#include "support/long_path.h"
#include "support/temp_tree.h"

namespace krelix {
namespace {

using test::ReadWhole;
using test::ScanRun;

ScanRun Scan(const test::TempTree& outputs, const std::string& args, const std::string& env = {}) {
    return test::RunScan(outputs, args, env);
}

class ScanBinaryTest : public ::testing::Test {
  protected:
    test::TempTree tree;
    test::TempTree outputs;  // kept out of the scanned tree
};

// Each group's paths, as -0 prints them: NUL after each path, another after each group.
std::set<std::set<std::string>> NulGroups(const std::string& out) {
    std::set<std::set<std::string>> groups;
    std::set<std::string> group;
    std::size_t start = 0;
    while (start < out.size()) {
        const std::size_t end = out.find('\0', start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "output does not end with NUL";
            break;
        }
        if (end == start) {
            groups.insert(group);
            group.clear();
        } else {
            group.insert(out.substr(start, end - start));
        }
        start = end + 1;
    }
    EXPECT_TRUE(group.empty()) << "the last group has no closing NUL";
    return groups;
}

TEST_F(ScanBinaryTest, NullOutputGivesBackNamesWithNewlinesExactly) {
    const std::string odd = tree.AddFile("new\nline\n", "same");
    const std::string plain = tree.AddFile("plain", "same");
    const std::string x = tree.AddFile("sub/x", "other");
    const std::string y = tree.AddFile("sub/y", "other");
    for (const char* option : {"-0", "--null"}) {
        const ScanRun run = Scan(outputs, std::string(option) + " --flags 0x20 " + tree.root());
        EXPECT_EQ(0, run.status) << run.err;
        EXPECT_EQ((std::set<std::set<std::string>>{{odd, plain}, {x, y}}), NulGroups(run.out));
        EXPECT_EQ("Files scanned: 4 , duplicates: 4 \n", run.err);
    }
}

TEST_F(ScanBinaryTest, MinimumAboveMaximumExitsWithStatusTwo) {
    tree.AddFile("a", "1");
    const ScanRun run = Scan(outputs, "--min-size 11 --max-size=10 " + tree.root());
    EXPECT_EQ(2, run.status);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(std::string::npos,
              run.err.find("The minimum file size is larger than the maximum file size."))
        << run.err;
}

// The first thing a new user tries: a folder in the temporary folder, which the defaults skip.
TEST_F(ScanBinaryTest, SummarySaysWhichSettingKeptAStartFolderOut) {
    tree.AddFile("tmp/photos/a", "same");
    tree.AddFile("tmp/photos/b", "same");
    const ScanRun run = Scan(outputs, "--flags 0x60 --progress " + tree.Path("tmp/photos"),
                             "TMPDIR=" + tree.Path("tmp"));
    EXPECT_EQ(0, run.status);
    EXPECT_TRUE(run.out.empty());
    // No progress line either: standard error is no terminal here.
    EXPECT_EQ("Files scanned: 0 , duplicates: 0 \n" + tree.Path("tmp/photos/") +
                  " was not searched: it lies in a temporary folder (\"Skip Temporary Files\" is "
                  "on: 0x40 in --flags).\n",
              run.err);
}

TEST_F(ScanBinaryTest, SummaryCountsWhatCouldNotBeReadAndVerboseNamesIt) {
    test::NearPathMax deep(tree.root());
    const std::string folder = deep.AddTooLong('f', std::nullopt) + '/';
    const std::string a = deep.AddTooLong('a', "same");
    const std::string b = deep.AddTooLong('b', "same");
    const std::string counts =
        "Files scanned: 2 , duplicates: 0 \n2 files could not be read.\n"
        "1 folder could not be read.\n";
    EXPECT_EQ(counts, Scan(outputs, "--flags 0x20 " + tree.root()).err);
    const ScanRun verbose = Scan(outputs, "--verbose --flags 0x20 " + tree.root());
    EXPECT_EQ(0, verbose.status);
    EXPECT_EQ(counts + "Could not read: " + a + "\nCould not read: " + b +
                  "\nCould not read: " + folder + "\n",
              verbose.err);
}

TEST_F(ScanBinaryTest, KeepsHashesWhereAskedAndSaysWhenItCannot) {
    tree.AddFile("a", "same words");
    tree.AddFile("b", "same words");
    tree.AddFile("c", "other word");
    // The tree lies in the temporary folder, which the default settings skip.
    const std::string root = "--flags 0x20 " + tree.root();
    const ScanRun plain = Scan(outputs, "--no-cache " + root);
    ASSERT_EQ(0, plain.status) << plain.err;
    EXPECT_NE(std::string::npos, plain.out.find(tree.Path("a"))) << plain.out;
    EXPECT_EQ(1u, NulGroups(Scan(outputs, "-0 --no-cache " + root).out).size());

    const std::string cacheFile = outputs.Path("own/hashes.db");
    for (int run = 0; run < 2; ++run) {
        const ScanRun cached = Scan(outputs, "--cache " + cacheFile + " " + root);
        EXPECT_EQ(0, cached.status);
        EXPECT_EQ(plain.out, cached.out);
        EXPECT_EQ(plain.err, cached.err);
    }
    EXPECT_TRUE(std::filesystem::is_regular_file(cacheFile));

    // By default under the cache home.
    const ScanRun byDefault = Scan(outputs, root, "XDG_CACHE_HOME=" + outputs.Path("xdg"));
    EXPECT_EQ(plain.out, byDefault.out);
    EXPECT_TRUE(std::filesystem::is_regular_file(outputs.Path("xdg/krelix/hashes.sqlite")));

    const std::string fifo = outputs.AddFifo("fifo");
    const ScanRun unusable = Scan(outputs, "--cache " + fifo + " " + root);
    EXPECT_EQ(0, unusable.status);
    EXPECT_EQ(plain.out, unusable.out);
    EXPECT_NE(std::string::npos, unusable.err.find("krelix-scan: The hash cache " + fifo +
                                                   " is not a regular file; searching without it."))
        << unusable.err;

    EXPECT_EQ(2, Scan(outputs, "--no-cache --cache " + cacheFile + " " + root).status);
}

}  // namespace
}  // namespace krelix
