#include "scan_output.h"

#include <gtest/gtest.h>

#include <sstream>

namespace krelix {
namespace {

CFileItem Item(const std::string& path, const std::string& key, std::uint64_t size) {
    CFileItem item;
    item.path = path;
    item.name = path.substr(path.rfind('/') + 1);
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

}  // namespace
}  // namespace krelix
