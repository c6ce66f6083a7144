#include "operations/text/csv_export.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "support/temp_tree.h"

namespace krelix {
namespace {

using test::TempTree;

const TimeTextFn kTime = [](std::int64_t seconds) {
    return seconds == 1 ? std::u16string(u"Thursday, 29 February 2024 13:05:09")
                        : std::u16string(u"Friday, 1 March 2024 \"late\"");
};

CFileItem Item(std::string key, std::string folder, std::string name, std::int64_t modified = 1) {
    CFileItem item;
    item.groupKey = std::move(key);
    item.path = std::move(folder) + name;
    item.modified = modified;
    return item;
}

std::vector<const CFileItem*> Rows(const std::vector<CFileItem>& items) {
    std::vector<const CFileItem*> rows;
    for (const CFileItem& item : items) {
        rows.push_back(&item);
    }
    return rows;
}

TEST(CsvExport, PlainLinesAreWrittenAsTheListShowsThem) {
    TempTree tree;
    tree.AddFile("out.csv", "an older, longer export that must disappear entirely");
    std::vector<CFileItem> items = {Item("12ABCDEF01", "/a/", "x.jpg"),
                                    Item("12ABCDEF01", "/b/", "gone.jpg"),
                                    Item("12ABCDEF01", "/b/", "y.jpg", 2)};
    items[1].deleted = 1;
    ASSERT_EQ(CsvExportStatus::Written, ExportCsv(tree.Path("out.csv"), Rows(items), kTime));
    EXPECT_EQ(
        "\xEF\xBB\xBF"
        "12ABCDEF01,x.jpg,\"/a/x.jpg\",\"Thursday, 29 February 2024 13:05:09\"\r\n"
        "12ABCDEF01,y.jpg,\"/b/y.jpg\",\"Friday, 1 March 2024 \"\"late\"\"\"\r\n",
        tree.Read("out.csv"));
}

TEST(CsvExport, OnlyDeletedRowsGiveAnEmptyFile) {
    TempTree tree;
    std::vector<CFileItem> items = {Item("1", "/a/", "x"), Item("1", "/b/", "x")};
    items[0].deleted = 1;
    items[1].deleted = 1;
    ASSERT_EQ(CsvExportStatus::Written, ExportCsv(tree.Path("out.csv"), Rows(items), kTime));
    EXPECT_TRUE(tree.Exists("out.csv"));
    EXPECT_EQ("", tree.Read("out.csv"));
}

TEST(CsvExport, QuotesFieldsThatWouldBreakTheLine) {
    const struct {
        std::string name;
        std::u16string field;
    } cases[] = {
        {"a,b", u"\"a,b\""},
        {"say \"hi\"", u"\"say \"\"hi\"\"\""},
        {"two\nlines", u"\"two\nlines\""},
        {"cr\rname", u"\"cr\rname\""},
        {"plain name", u"plain name"},
    };
    for (const auto& c : cases) {
        const std::u16string line = CsvLine(Item("7,0", "/d\"ir/", c.name), kTime);
        EXPECT_EQ(u"\"7,0\"," + c.field + u",", line.substr(0, 7 + c.field.size()));
    }
    const std::u16string line = CsvLine(Item("1", "/d\"ir/", "n"), kTime);
    EXPECT_EQ(u"1,n,\"/d\"\"ir/n\",\"Thursday, 29 February 2024 13:05:09\"", line);
}

TEST(CsvExport, OddCharactersAreEncodedAsUtf8) {
    TempTree tree;
    std::vector<CFileItem> items = {Item("1", "/\xF0\x9F\x98\x80/", "\xEF\xBF\xBF"),
                                    Item("1", "/bad/", "caf\xE9")};
    ASSERT_EQ(CsvExportStatus::Written,
              ExportCsv(tree.Path("out.csv"), Rows(items), [](std::int64_t) { return u"t"; }));
    EXPECT_EQ(
        "\xEF\xBB\xBF"
        "1,\xEF\xBF\xBF,\"/\xF0\x9F\x98\x80/\xEF\xBF\xBF\",\"t\"\r\n"
        "1,caf\xEF\xBF\xBD,\"/bad/caf\xEF\xBF\xBD\",\"t\"\r\n",
        tree.Read("out.csv"));
}

TEST(CsvExport, ReportsCreateAndWriteFailures) {
    TempTree tree;
    std::vector<CFileItem> items = {Item("1", "/a/", "x")};
    EXPECT_EQ(CsvExportStatus::CreateFailed,
              ExportCsv(tree.Path("missing/out.csv"), Rows(items), kTime));
    if (::access("/dev/full", W_OK) != 0) {
        GTEST_SKIP() << "no /dev/full";
    }
    // One short line stays in the buffer until the file is closed.
    EXPECT_EQ(CsvExportStatus::WriteFailed, ExportCsv("/dev/full", Rows(items), kTime));
    std::vector<CFileItem> many(500, Item("1", "/a/", "x"));
    EXPECT_EQ(CsvExportStatus::WriteFailed, ExportCsv("/dev/full", Rows(many), kTime));
}

TEST(CsvExport, DefaultTimeTextIsTheLocalCTime) {
    const char* saved = std::getenv("TZ");
    const std::string savedTz = saved ? saved : "";
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    EXPECT_EQ(u"Thu Feb 29 13:05:09 2024", DefaultTimeText(1709211909));
    EXPECT_EQ(u"", DefaultTimeText(std::numeric_limits<std::int64_t>::max()));
    if (saved) {
        ::setenv("TZ", savedTz.c_str(), 1);
    } else {
        ::unsetenv("TZ");
    }
    ::tzset();
}

// Python's csv module reads the export back; it prints every field as the hex of its UTF-8
// bytes, one per line, and an empty line after each row.
constexpr const char* kReader = R"(import csv, sys
with open(sys.argv[1], encoding="utf-8-sig", newline="") as f:
    for row in csv.reader(f):
        for field in row:
            print(field.encode("utf-8").hex())
        print()
)";

std::string Hex(std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (const unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 0xF];
    }
    return out;
}

std::string RunPython(const std::string& script, const std::string& file) {
    const std::string command = "python3 '" + script + "' '" + file + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot start python3";
        return {};
    }
    std::string out;
    char chunk[4096];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) {
        out.append(chunk, n);
    }
    const int status = ::pclose(pipe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "python3 failed: " << out;
    return out;
}

TEST(CsvExport, ASpreadsheetReaderGetsTheNamesBack) {
    TempTree tree;
    const std::string script = tree.AddFile("read.py", kReader);
    const std::string folder = tree.root();  // TempTree paths hold no quotes
    std::vector<CFileItem> items = {
        Item("10ABCDEF01", "/one/", "plain.txt"),
        Item("10ABCDEF01", "/two,three/", "comma, in name.txt"),
        Item("10ABCDEF01", "/q\"uote/", "say \"cheese\".jpg"),
        Item("20ABCDEF01", "/nl/", "first\nsecond.txt"),
        Item("20ABCDEF01", "/crlf/", "first\r\nsecond.txt"),
        Item("20ABCDEF01", "/deleted/", "not exported"),
        Item("30ABCDEF01", "/ünï/", "Grüße, 東京 \xF0\x9F\x8E\xB8.flac", 2),
    };
    items[5].deleted = 1;
    const std::string csv = tree.Path("out.csv");
    ASSERT_EQ(CsvExportStatus::Written, ExportCsv(csv, Rows(items), kTime));

    std::string expected;
    for (const CFileItem& item : items) {
        if (item.deleted != 0) {
            continue;
        }
        const std::string time = item.modified == 1 ? "Thursday, 29 February 2024 13:05:09"
                                                    : "Friday, 1 March 2024 \"late\"";
        for (const std::string& field :
             {item.groupKey, std::string(item.name()), item.path, time}) {
            expected += Hex(field) + "\n";
        }
        expected += "\n";
    }
    EXPECT_EQ(expected, RunPython(script, csv));
}

}  // namespace
}  // namespace krelix
