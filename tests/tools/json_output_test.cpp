#include "json_output.h"

#include <gtest/gtest.h>

#include <sstream>

namespace krelix {
namespace {

CFileItem Item(const std::string& path, const std::string& key, std::int64_t modified) {
    CFileItem item;
    item.path = path;
    item.groupKey = key;
    item.size = 3;
    item.modified = modified;
    return item;
}

TEST(JsonOutput, GroupsInPathOrderWithRawBytesBesideNamesThatAreNotUtf8) {
    ScanResults results;
    results.emplace("3AAAAAAAA", Item("/t/b2", "3AAAAAAAA", 2));
    results.emplace("3BBBBBBBB", Item("/t/single", "3BBBBBBBB", 0));
    results.emplace("3CCCCCCCC", Item("/t/a\"\\\n\x01", "3CCCCCCCC", -1));
    results.emplace("3AAAAAAAA", Item("/t/b1", "3AAAAAAAA", 1700000000));
    results.emplace("3CCCCCCCC", Item("/t/\xff\xc3\xa9", "3CCCCCCCC", 0));
    std::ostringstream out;
    EXPECT_EQ(4u, WriteJsonGroups(results, out));
    EXPECT_EQ(
        "[\n"
        "  {\"size\": 3, \"group_key\": \"3CCCCCCCC\", \"files\": [\n"
        "    {\"path\": \"/t/a\\\"\\\\\\n\\u0001\", \"modified\": -1},\n"
        "    {\"path\": \"/t/\xef\xbf\xbd\xc3\xa9\", \"path_bytes\": \"L3Qv/8Op\", \"modified\": "
        "0}\n"
        "  ]},\n"
        "  {\"size\": 3, \"group_key\": \"3AAAAAAAA\", \"files\": [\n"
        "    {\"path\": \"/t/b1\", \"modified\": 1700000000},\n"
        "    {\"path\": \"/t/b2\", \"modified\": 2}\n"
        "  ]}\n"
        "]\n",
        out.str());

    std::ostringstream empty;
    EXPECT_EQ(0u, WriteJsonGroups(ScanResults{}, empty));
    EXPECT_EQ("[]\n", empty.str());
}

TEST(JsonOutput, StringsEscapeWhatJsonAndTerminalsNeedAndKeepTheRest) {
    EXPECT_EQ("\"\"", JsonString(""));
    EXPECT_EQ("\"\\t\\r\\u001b[1m\\u007f\\u001f \"", JsonString("\t\r\x1b[1m\x7f\x1f "));
    EXPECT_EQ("\"-n \xe2\x80\xa8 \xf0\x9f\x98\x80 /\"",
              JsonString("-n \xe2\x80\xa8 \xf0\x9f\x98\x80 /"));
}

}  // namespace
}  // namespace krelix
