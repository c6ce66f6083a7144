#include "progress_line.h"

#include <gtest/gtest.h>

namespace krelix {
namespace {

ProgressNotice Notice(std::string path, std::uint64_t hashed = 0, std::uint64_t total = 0) {
    ProgressNotice notice;
    notice.kind = total > 0 ? ProgressNotice::Kind::Reading : ProgressNotice::Kind::Searching;
    notice.path = std::move(path);
    notice.filesFound = 1234;
    notice.bytesHashed = hashed;
    notice.bytesToHash = total;
    return notice;
}

TEST(ProgressLine, ShowsCountsAndThePathWithinTheWidth) {
    EXPECT_EQ("1234 files found  /a/b", ProgressLineText(Notice("/a/b"), 80));
    EXPECT_EQ("1234 files found, 1.5 KB of 2.0 GB hashed  /a/b",
              ProgressLineText(Notice("/a/b", 1536, 2ull << 30), 80));
    // The front of a long path goes, never a character's half; the last column stays free.
    const std::string path = "/photos/\xc3\xa9t\xc3\xa9/" + std::string(100, 'x') + "/end.jpg";
    const std::string line = ProgressLineText(Notice(path), 60);
    EXPECT_EQ(59u, line.size());
    EXPECT_TRUE(line.ends_with("/end.jpg")) << line;
    EXPECT_NE(std::string::npos, line.find("  ...")) << line;
    // A name cannot move the cursor.
    EXPECT_EQ("1234 files found  /new?line?", ProgressLineText(Notice("/new\nline\r"), 80));
    EXPECT_EQ("1234 files found", ProgressLineText(Notice("/a/b"), 10));
}

}  // namespace
}  // namespace krelix
