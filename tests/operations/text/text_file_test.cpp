#include "operations/text/text_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "operations/text/ansi_text_file_writer.h"
#include "operations/text/utf16be_text_file_writer.h"
#include "operations/text/utf16le_text_file_writer.h"
#include "operations/text/utf8_text_file_writer.h"
#include "support/temp_tree.h"

namespace krelix {
namespace {

using test::TempTree;

constexpr char16_t kHigh = 0xD83D;  // of U+1F600, whose low half is 0xDE00
constexpr char16_t kLow = 0xDE00;

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) {
        out += static_cast<char>(v);
    }
    return out;
}

std::string WriteFile(TempTree& tree, TextEncoding encoding, std::u16string_view text) {
    TextFile file;
    const std::string path = tree.Path("out.txt");
    EXPECT_EQ(kTextOk, file.OpenForWriting(path, encoding));
    EXPECT_EQ(kTextOk, file.Write(text));
    EXPECT_EQ(kTextOk, file.Close());
    return tree.Read("out.txt");
}

struct EncodeCase {
    const char* what;
    TextEncoding encoding;
    std::u16string text;
    std::string bytes;  // the whole file
};

TEST(TextFile, WritesEachEncodingWithItsMarkAndCrLf) {
    const std::u16string pair = {u'a', kHigh, kLow};
    const std::u16string highAtEndOfRun = {u'a', kHigh, u'\n', u'b'};
    const std::u16string highThenLetter = {kHigh, u'A'};
    const std::u16string loneLow = {kLow, u'z'};
    const EncodeCase cases[] = {
        {"utf8 plain", TextEncoding::Utf8, u"ab",
         "\xEF\xBB\xBF"
         "ab"},
        {"utf8 line feeds", TextEncoding::Utf8, u"a\nb\n",
         "\xEF\xBB\xBF"
         "a\r\nb\r\n"},
        {"utf8 leading and double feeds", TextEncoding::Utf8, u"\n\nx", "\xEF\xBB\xBF\r\n\r\nx"},
        {"utf8 two and three bytes", TextEncoding::Utf8, u"\u00E9\u20AC",
         "\xEF\xBB\xBF\xC3\xA9\xE2\x82\xAC"},
        {"utf8 U+FFFF", TextEncoding::Utf8, u"\uFFFF", "\xEF\xBB\xBF\xEF\xBF\xBF"},
        {"utf8 surrogate pair", TextEncoding::Utf8, pair,
         "\xEF\xBB\xBF"
         "a\xF0\x9F\x98\x80"},
        {"utf8 high surrogate ending a run", TextEncoding::Utf8, highAtEndOfRun,
         "\xEF\xBB\xBF"
         "a\xEF\xBF\xBD\r\nb"},
        {"utf8 high surrogate before a letter keeps the letter", TextEncoding::Utf8, highThenLetter,
         "\xEF\xBB\xBF\xEF\xBF\xBD"
         "A"},
        {"utf8 lone low surrogate", TextEncoding::Utf8, loneLow, "\xEF\xBB\xBF\xEF\xBF\xBDz"},
        {"utf16le", TextEncoding::Utf16LE, u"A\u20AC\n",
         Bytes({0xFF, 0xFE, 0x41, 0x00, 0xAC, 0x20, 0x0D, 0x00, 0x0A, 0x00})},
        {"utf16le pair as it is", TextEncoding::Utf16LE, pair,
         Bytes({0xFF, 0xFE, 0x61, 0x00, 0x3D, 0xD8, 0x00, 0xDE})},
        {"utf16be", TextEncoding::Utf16BE, u"A\u20AC\n",
         Bytes({0xFE, 0xFF, 0x00, 0x41, 0x20, 0xAC, 0x00, 0x0D, 0x00, 0x0A})},
        {"utf16be pair as it is", TextEncoding::Utf16BE, pair,
         Bytes({0xFE, 0xFF, 0x00, 0x61, 0xD8, 0x3D, 0xDE, 0x00})},
        {"ansi is latin-1 without a mark", TextEncoding::Ansi, u"caf\u00E9\n\u00FF",
         "caf\xE9\r\n\xFF"},
        {"ansi replaces what latin-1 lacks, a pair once", TextEncoding::Ansi, u"\u20AC" + pair,
         "?a?"},
    };
    for (const EncodeCase& c : cases) {
        TempTree tree;
        EXPECT_EQ(c.bytes, WriteFile(tree, c.encoding, c.text)) << c.what;
    }
}

TEST(TextFile, MarkGoesOutWithTheFirstWriteOnly) {
    TempTree tree;
    const std::string path = tree.Path("out.txt");
    {
        TextFile file;
        ASSERT_EQ(kTextOk, file.OpenForWriting(path));
        EXPECT_EQ(kTextOk, file.Close());
    }
    EXPECT_EQ("", tree.Read("out.txt"));

    TextFile file;
    ASSERT_EQ(kTextOk, file.OpenForWriting(path));
    EXPECT_EQ(kTextOk, file.Write(u""));
    EXPECT_EQ(kTextOk, file.Write(u"x"));
    EXPECT_EQ(kTextOk, file.Write(u"y"));
    EXPECT_EQ(kTextOk, file.Close());
    EXPECT_EQ("\xEF\xBB\xBFxy", tree.Read("out.txt"));
}

TEST(TextFile, OpeningReplacesContentAndResetsFlags) {
    TempTree tree;
    tree.AddFile("out.txt", "old content that is longer");
    TextFile file;
    ASSERT_EQ(kTextOk, file.OpenForWriting(tree.Path("out.txt")));
    EXPECT_EQ(TextFile::Mode::Writing, file.mode());
    EXPECT_EQ(TextEncoding::Utf8, file.encoding());
    EXPECT_EQ(4u, file.flags());
    file.SetFlags(file.flags() | TextFile::kWriteUnchanged);
    EXPECT_EQ(kTextOk, file.Write(u"a\nb"));
    EXPECT_EQ(kTextOk, file.Close());
    EXPECT_EQ(TextFile::Mode::Closed, file.mode());
    EXPECT_EQ(
        "\xEF\xBB\xBF"
        "a\nb",
        tree.Read("out.txt"));
    EXPECT_EQ(kTextOk, file.Close());
}

TEST(TextFile, FailsToOpenWithoutBlockingOrLeavingAnythingOpen) {
    TempTree tree;
    tree.AddFifo("fifo");
    const std::string refused[] = {tree.Path("missing/out.txt"), tree.Path("fifo"), tree.root()};
    for (const std::string& path : refused) {
        TextFile file;
        EXPECT_EQ(kTextError, file.OpenForWriting(path)) << path;
        EXPECT_FALSE(file.IsOpen());
        EXPECT_EQ(kTextError, file.Write(u"x"));
        EXPECT_EQ(kTextOk, file.Close());
    }
}

TEST(TextFile, ReportsAFullDisk) {
    if (::access("/dev/full", W_OK) != 0) {
        GTEST_SKIP() << "no /dev/full";
    }
    {
        // Small enough to stay in the buffer: the failure shows at close.
        TextFile file;
        ASSERT_EQ(kTextOk, file.OpenForWriting("/dev/full"));
        EXPECT_EQ(kTextOk, file.Write(u"short"));
        EXPECT_EQ(kTextError, file.Close());
        EXPECT_FALSE(file.IsOpen());
    }
    TextFile file;
    ASSERT_EQ(kTextOk, file.OpenForWriting("/dev/full", TextEncoding::Utf8, 64));
    EXPECT_EQ(kTextError, file.Write(std::u16string(100, u'x')));
    EXPECT_EQ(kTextError, file.Close());
}

// The writers on their own, with a buffer smaller than what is written.
class WriterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = tree_.Path("w.bin");
        fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        ASSERT_GE(fd_, 0);
    }
    void TearDown() override { ::close(fd_); }
    std::string Content() const { return tree_.Read("w.bin"); }

    TempTree tree_;
    std::string path_;
    int fd_ = -1;
};

TEST_F(WriterTest, WritesOnlyWhenTheBufferIsFull) {
    UTF8_TextFileWriter writer(8, path_, fd_);
    EXPECT_EQ(8u, writer.capacity());
    const std::u16string run = u"0123456789abcdefghijklmnopqrstuvwxyz";
    EXPECT_EQ(kTextOk, writer.WriteRun(run.data(), 5, 0, nullptr, nullptr));
    EXPECT_EQ("", Content());
    EXPECT_EQ(5u, writer.used());
    EXPECT_EQ(kTextOk, writer.WriteRun(run.data() + 5, run.size() - 5, 0, nullptr, nullptr));
    EXPECT_EQ(32u, Content().size());
    EXPECT_EQ(4u, writer.used());
    EXPECT_EQ(kTextOk, writer.Flush());
    EXPECT_EQ(0u, writer.used());
    EXPECT_EQ(kTextOk, writer.Flush());
    EXPECT_EQ("0123456789abcdefghijklmnopqrstuvwxyz", Content());
}

TEST_F(WriterTest, LongRunsThroughSmallBuffersAreExact) {
    std::u16string text;
    std::string utf8;
    std::string utf16be;
    for (int i = 0; i < 3000; ++i) {
        text += {u'a', u'\u00E9', kHigh, kLow};
        utf8 += "a\xC3\xA9\xF0\x9F\x98\x80";
        utf16be += Bytes({0x00, 0x61, 0x00, 0xE9, 0xD8, 0x3D, 0xDE, 0x00});
    }
    {
        UTF8_TextFileWriter writer(7, path_, fd_);
        ASSERT_EQ(kTextOk, writer.WriteRun(text.data(), text.size(), 0, nullptr, nullptr));
        ASSERT_EQ(kTextOk, writer.Flush());
    }
    EXPECT_EQ(utf8, Content());
    ASSERT_EQ(0, ::ftruncate(fd_, 0));
    ASSERT_EQ(0, ::lseek(fd_, 0, SEEK_SET));
    {
        UTF16BE_TextFileWriter writer(100, path_, fd_);
        ASSERT_EQ(kTextOk, writer.WriteRun(text.data(), text.size(), 0, nullptr, nullptr));
        ASSERT_EQ(kTextOk, writer.WriteRun(text.data(), 1, 0, nullptr, nullptr));
        ASSERT_EQ(kTextOk, writer.Flush());
    }
    EXPECT_EQ(utf16be + Bytes({0x00, 0x61}), Content());
}

TEST_F(WriterTest, SingleUnits) {
    UTF8_TextFileWriter utf8(0, path_, fd_);
    UTF16LE_TextFileWriter le(0, path_, fd_);
    UTF16BE_TextFileWriter be(0, path_, fd_);
    ANSI_TextFileWriter ansi(0, path_, fd_);
    for (TextFileWriter* writer :
         {static_cast<TextFileWriter*>(&utf8), static_cast<TextFileWriter*>(&le),
          static_cast<TextFileWriter*>(&be), static_cast<TextFileWriter*>(&ansi)}) {
        EXPECT_EQ(kTextOk, writer->WriteUnit(u'\u20AC'));
        EXPECT_EQ(kTextOk, writer->WriteUnit(kHigh));
        EXPECT_EQ(kTextOk, writer->Flush());
    }
    EXPECT_EQ("\xE2\x82\xAC\xEF\xBF\xBD" + Bytes({0xAC, 0x20, 0x3D, 0xD8}) +
                  Bytes({0x20, 0xAC, 0xD8, 0x3D}) + "??",
              Content());
}

TEST_F(WriterTest, AnsiReportsTheDefaultCharacter) {
    ANSI_TextFileWriter writer(0, path_, fd_);
    const std::u16string plain = u"\u00E9t\u00E9";
    const std::u16string foreign = u"\u0416x";
    bool used = true;
    EXPECT_EQ(kTextOk, writer.WriteRun(plain.data(), plain.size(), 0, "#", &used));
    EXPECT_FALSE(used);
    EXPECT_EQ(kTextOk, writer.WriteRun(foreign.data(), foreign.size(), 0, "#", &used));
    EXPECT_TRUE(used);
    EXPECT_EQ(kTextOk, writer.Flush());
    EXPECT_EQ("\xE9t\xE9#x", Content());
}

TEST(Writer, KeepsUnwrittenBytesWhenTheFileRefuses) {
    const int fd = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        GTEST_SKIP() << "no /dev/full";
    }
    UTF16LE_TextFileWriter writer(4, "/dev/full", fd);
    const std::u16string text = u"abc";
    EXPECT_EQ(kTextError, writer.WriteRun(text.data(), text.size(), 0, nullptr, nullptr));
    EXPECT_EQ(4u, writer.used());
    EXPECT_EQ(kTextError, writer.Flush());
    EXPECT_EQ(4u, writer.used());
    ::close(fd);
}

}  // namespace
}  // namespace krelix
