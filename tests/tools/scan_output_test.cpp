#include "scan_output.h"

#include <gtest/gtest.h>

#include <sstream>

namespace krelix {
namespace {

CFileItem Item(const std::string& path, const std::string& key, std::uint64_t size) {
    CFileItem item;
    item.path = path;
    item.groupKey = key;
    item.size = size;
    item.modified = 0;
    return item;
}

ScanResults Sample() {
    ScanResults results;
    for (const auto& [path, key] :
         std::vector<std::pair<std::string, std::string>>{{"/t/b2", "3AAAAAAAA"},
                                                          {"/t/single", "3BBBBBBBB"},
                                                          {"/t/a,\"odd\"\nname", "3CCCCCCCC"},
                                                          {"/t/b1", "3AAAAAAAA"},
                                                          {"/t/\xff", "3CCCCCCCC"}}) {
        results.emplace(key, Item(path, key, 3));
    }
    return results;
}

TEST(ScanOutput, PrintsGroupsSortedWithAnEmptyLineAfterEach) {
    std::ostringstream out;
    EXPECT_EQ(4u, WriteDuplicateGroups(Sample(), OutputFormat::Paths, out));
    EXPECT_EQ("/t/a,\"odd\"\nname\n/t/\xff\n\n/t/b1\n/t/b2\n\n", out.str());
}

TEST(ScanOutput, CsvQuotesOnlyFieldsThatNeedIt) {
    setenv("TZ", "UTC", 1);
    tzset();
    std::ostringstream out;
    EXPECT_EQ(4u, WriteDuplicateGroups(Sample(), OutputFormat::Csv, out));
    const std::string time = "\"Thursday, January 01, 1970 00:00:00\"";
    EXPECT_EQ("3CCCCCCCC,\"a,\"\"odd\"\"\nname\",\"/t/a,\"\"odd\"\"\nname\",3," + time + "\r\n" +
                  "3CCCCCCCC,\xff,/t/\xff,3," + time + "\r\n" + "3AAAAAAAA,b1,/t/b1,3," + time +
                  "\r\n" + "3AAAAAAAA,b2,/t/b2,3," + time + "\r\n",
              out.str());
}

TEST(ScanOutput, NulPathsReadBackExactly) {
    std::ostringstream out;
    EXPECT_EQ(4u, WriteDuplicateGroups(Sample(), OutputFormat::NulPaths, out));
    using namespace std::string_literals;
    EXPECT_EQ("/t/a,\"odd\"\nname\0/t/\xff\0\0/t/b1\0/t/b2\0\0"s, out.str());
}

TEST(ScanOutput, SummaryNamesSkippedStartFoldersAndWhatCouldNotBeRead) {
    SearchRequest request;
    request.filesScanned = 0;
    request.skippedStartFolders = {{"/tmp/photos/", SkipRule::TemporaryFolder},
                                   {"/x/", SkipRule::ExcludedFolder}};
    request.unreadableFiles = 12;
    request.unreadableFolders = 1;
    request.unreadablePaths = {"/b/", "/a"};
    std::ostringstream out;
    WriteScanSummary(request, out);
    EXPECT_EQ(
        "Files scanned: 0 , duplicates: 0 \n"
        "/tmp/photos/ was not searched: it lies in a temporary folder (\"Skip Temporary "
        "Files\" is on: 0x40 in --flags).\n"
        "/x/ was not searched: it is also a folder to exclude (--exclude names it).\n"
        "12 files could not be read.\n"
        "1 folder could not be read.\n"
        "Could not read: /a\n"
        "Could not read: /b/\n",
        out.str());

    std::ostringstream plain;
    WriteScanSummary(SearchRequest{}, plain);
    EXPECT_EQ("Files scanned: 0 , duplicates: 0 \n", plain.str());
}

}  // namespace
}  // namespace krelix
