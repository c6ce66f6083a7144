#include "scan_options.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "support/temp_tree.h"

namespace krelix {
namespace {

ParsedArguments Parse(std::vector<std::string> args) {
    return ParseScanArguments(args);
}

TEST(ScanArguments, ReadsEveryOptionInEitherForm) {
    const ParsedArguments parsed =
        Parse({"--exclude", "/x", "a", "--include-pattern=*.JPG", "--include-pattern", "*.PnG",
               "--exclude-pattern", "*.tmp", "--min-size=10", "--max-size", "4294967296", "--flags",
               "0x20", "--csv", "b"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    const ScanOptions& o = *parsed.options;
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), o.folders);
    EXPECT_EQ((std::vector<std::string>{"/x"}), o.excludeFolders);
    EXPECT_EQ((std::vector<std::string>{"*.jpg", "*.png"}), o.includePatterns);
    EXPECT_EQ((std::vector<std::string>{"*.tmp"}), o.excludePatterns);
    EXPECT_EQ(10u, o.minSize);
    EXPECT_EQ(4294967296u, o.maxSize);
    EXPECT_EQ(0x20u, o.flags);
    EXPECT_TRUE(o.csv);
}

TEST(ScanArguments, DefaultsAndTheEndOfOptions) {
    const ParsedArguments parsed = Parse({"--", "--csv", "-"});
    ASSERT_TRUE(parsed.options);
    EXPECT_EQ((std::vector<std::string>{"--csv", "-"}), parsed.options->folders);
    EXPECT_FALSE(parsed.options->csv);
    EXPECT_EQ(DEFAULT_SEARCH_FLAGS, parsed.options->flags);
    EXPECT_FALSE(parsed.options->minSize);
    EXPECT_EQ(30688u, Parse({"--flags", "30688", "a"}).options->flags);
    EXPECT_TRUE(Parse({"--help"}).options->help);
}

TEST(ScanArguments, RefusesBadArguments) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"--csv"},
        {"--bogus", "a"},
        {"a", "--exclude"},
        {"--min-size", "-1", "a"},
        {"--min-size", "12k", "a"},
        {"--max-size", "18446744073709551616", "a"},
        {"--flags", "0x", "a"},
        {"--flags", "0x100000000", "a"},
        {"--flags", "ten", "a"},
        {"--include-pattern=", "a"},
        {"--csv=yes", "a"},
        {"--csv", "-0", "a"},
        {"--null=1", "a"},
    };
    for (const auto& args : bad) {
        const ParsedArguments parsed = Parse(args);
        EXPECT_FALSE(parsed.options) << ::testing::PrintToString(args);
        EXPECT_FALSE(parsed.error.empty());
    }
}

TEST(ScanArguments, NullProgressAndVerboseAreSwitches) {
    const ScanOptions o = *Parse({"-0", "--progress", "a", "--verbose"}).options;
    EXPECT_TRUE(o.null && o.progress && o.verbose);
    EXPECT_TRUE(Parse({"--null", "a"}).options->null);
    const ScanOptions plain = *Parse({"a"}).options;
    EXPECT_FALSE(plain.null || plain.progress || plain.verbose);
}

TEST(ScanArguments, JsonIsAFormatOfItsOwnAndVersionNeedsNoFolder) {
    EXPECT_TRUE(Parse({"--json", "a"}).options->json);
    EXPECT_FALSE(Parse({"a"}).options->json);
    const ParsedArguments version = Parse({"--version"});
    ASSERT_TRUE(version.options) << version.error;
    EXPECT_TRUE(version.options->version);
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--json", "--csv", "a"}, {"-0", "--json", "a"}, {"--json=1", "a"}, {"--version=1"}}) {
        EXPECT_FALSE(Parse(args).options) << ::testing::PrintToString(args);
    }
}

// As the window refuses it, before any folder is looked at; equal bounds are a range.
TEST(ScanArguments, MinimumAboveMaximumIsRefused) {
    const ParsedArguments parsed = Parse({"--min-size=11", "--max-size", "10", "/nonexistent"});
    EXPECT_FALSE(parsed.options);
    EXPECT_EQ("The minimum file size is larger than the maximum file size.", parsed.error);
    EXPECT_TRUE(Parse({"--min-size=10", "--max-size", "10", "a"}).options);
}

TEST(ScanArguments, FoldersBecomeAbsoluteWithOneTrailingSlash) {
    test::TempTree tree;
    tree.AddFolder("sub/deeper");
    tree.AddFile("file", "x");
    std::string error;
    EXPECT_EQ(tree.Path("sub/"), NormaliseFolder(tree.Path("sub"), error));
    EXPECT_EQ(tree.Path("sub/"), NormaliseFolder(tree.Path("sub//deeper/..//"), error));
    EXPECT_EQ("/", NormaliseFolder("/", error));

    const std::string cwd = std::filesystem::current_path();
    ASSERT_EQ(0, ::chdir(tree.root().c_str()));
    EXPECT_EQ(tree.Path("sub/deeper/"), NormaliseFolder("sub/deeper", error));
    EXPECT_EQ(tree.root(), NormaliseFolder(".", error));
    ASSERT_EQ(0, ::chdir(cwd.c_str()));

    EXPECT_FALSE(NormaliseFolder(tree.Path("missing"), error));
    EXPECT_NE(std::string::npos, error.find("missing"));
    EXPECT_FALSE(NormaliseFolder(tree.Path("file"), error));
}

TEST(ScanArguments, FillRequestSetsTheSizeFilterOnlyWhenABoundIsGiven) {
    test::TempTree tree;
    tree.AddFolder("a");
    ScanOptions options = *Parse({tree.Path("a"), tree.Path("a/")}).options;
    SearchRequest request;
    std::string error;
    ASSERT_TRUE(FillRequest(options, request, error)) << error;
    EXPECT_EQ(1u, request.includeFolders.size());
    EXPECT_EQ(DEFAULT_SEARCH_FLAGS, request.optionFlags);

    options.maxSize = 100;
    ASSERT_TRUE(FillRequest(options, request, error));
    EXPECT_EQ(DEFAULT_SEARCH_FLAGS | FILTER_SIZE_RANGE, request.optionFlags);
    EXPECT_EQ(0u, request.minSize);
    EXPECT_EQ(100u, request.maxSize);

    options.excludeFolders = {tree.Path("gone")};
    EXPECT_FALSE(FillRequest(options, request, error));

    options.excludeFolders.clear();
    EXPECT_FALSE(request.listUnreadable);
    options.verbose = true;
    ASSERT_TRUE(FillRequest(options, request, error));
    EXPECT_TRUE(request.listUnreadable);
}

}  // namespace
}  // namespace krelix
