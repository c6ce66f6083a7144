#include <gtest/gtest.h>

#include <ctime>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "engine/file_item.h"
#include "engine/search_flags.h"
#include "engine/search_request.h"

namespace krelix {
namespace {

TEST(SearchFlags, DefaultIsEverySettingButZeroSize) {
    const std::uint32_t settings = SEARCH_SUBDIRS | SKIP_TEMP_FILES | SKIP_SYSTEM_FILES |
                                   SKIP_WINDOWS_FOLDER | SKIP_APP_FOLDERS | SKIP_COMPRESSED_FILES |
                                   SKIP_ZERO_SIZE_FILES | SKIP_RECYCLE_BIN | SKIP_HIDDEN_FILES |
                                   SKIP_HIDDEN_FOLDERS;
    EXPECT_EQ(settings & ~SKIP_ZERO_SIZE_FILES, DEFAULT_SEARCH_FLAGS);
    EXPECT_EQ(0x77E0u, DEFAULT_SEARCH_FLAGS);
    EXPECT_EQ(0u, DEFAULT_SEARCH_FLAGS & FILTER_SIZE_RANGE);
}

TEST(SearchRequest, ResetEmptiesEverythingAndOpensTheSizeRange) {
    SearchRequest request;
    request.includeFolders.insert("/a/");
    request.excludeFolders.insert("/b/");
    request.includePatterns.insert("*.jpg");
    request.excludePatterns.insert("*.mp3");
    request.completionEvent = [] {};
    request.optionFlags = 0x77E1;
    request.minSize = 5;
    request.maxSize = 6;
    request.filesScanned = 3;
    request.duplicatesFound = 2;

    request.ResetRequest();

    EXPECT_TRUE(request.includeFolders.empty());
    EXPECT_TRUE(request.excludeFolders.empty());
    EXPECT_TRUE(request.includePatterns.empty());
    EXPECT_TRUE(request.excludePatterns.empty());
    EXPECT_FALSE(request.completionEvent);
    EXPECT_EQ(0u, request.optionFlags);
    EXPECT_EQ(0u, request.minSize);
    EXPECT_EQ(std::numeric_limits<std::uint64_t>::max(), request.maxSize);
    EXPECT_EQ(0, request.filesScanned);
    EXPECT_EQ(0, request.duplicatesFound);
}

TEST(FileItem, ResetStateHasEmptyTextsAndCurrentTimes) {
    const std::int64_t before = std::time(nullptr);
    CFileItem item;
    const std::int64_t after = std::time(nullptr);
    EXPECT_TRUE(item.name().empty() && item.path.empty() && item.crc().empty() &&
                item.groupKey.empty());
    EXPECT_EQ(0, item.rowIndex);
    EXPECT_EQ(0u, item.size);
    EXPECT_EQ(0, item.deleted);
    for (std::int64_t t : {item.created, item.modified, item.accessed}) {
        EXPECT_GE(t, before);
        EXPECT_LE(t, after);
    }
}

TEST(FileItem, NameAndCrcAreReadFromThePathAndTheGroupKey) {
    CFileItem item;
    item.path = "/data/a b/x.tar.gz";
    EXPECT_EQ(item.name(), "x.tar.gz");
    item.path = "/data/a b/";
    EXPECT_EQ(item.name(), "") << "a folder's path names no file";
    item.path = "\xFFodd";
    EXPECT_EQ(item.name(), "\xFFodd") << "no folder at all";

    // The CRC text follows the size's digits, whatever follows it.
    for (const auto& [size, key, crc] :
         std::vector<std::tuple<std::uint64_t, std::string, std::string>>{
             {0, "0ABCDEF01", "ABCDEF01"},
             {9, "9ABCDEF01", "ABCDEF01"},
             {10, "10ABCDEF01", "ABCDEF01"},
             {1234, "1234C2412435-2", "C2412435"},
             {std::numeric_limits<std::uint64_t>::max(), "18446744073709551615FFFFFFFF",
              "FFFFFFFF"},
             {1234, "", ""},
             {1234, "1234C24", ""},
         }) {
        item.size = size;
        item.groupKey = key;
        EXPECT_EQ(item.crc(), crc) << key;
    }
}

}  // namespace
}  // namespace krelix
