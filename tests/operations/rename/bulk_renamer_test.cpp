#include "operations/rename/bulk_renamer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <limits>

namespace krelix {
namespace {

// 2024-02-29 13:05:09 UTC
constexpr std::int64_t kNow = 1709211909;

class BulkRenamerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        savedTz_ = tz ? std::optional<std::string>(tz) : std::nullopt;
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }
    void TearDown() override {
        if (savedTz_) {
            ::setenv("TZ", savedTz_->c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }

    static BulkRenamer::Sources Fixed(std::optional<std::uint32_t> random) {
        return {[random] { return random; }, [] { return kNow; }};
    }

    std::optional<std::string> savedTz_;
};

BulkRenameFields Parameter(ParameterKind kind) {
    BulkRenameFields fields;
    fields.parameterIncluded = true;
    fields.parameterKind = kind;
    return fields;
}

BulkRenameFields Custom(std::string extension) {
    BulkRenameFields fields;
    fields.fileNameIncluded = true;
    fields.extensionChoice = ExtensionChoice::Custom;
    fields.customExtension = std::move(extension);
    return fields;
}

TEST(SplitName, CutsAtTheLastDot) {
    struct Case {
        std::string_view name, base, extension;
    } const cases[] = {
        {"photo.jpg", "photo", ".jpg"}, {"archive.tar.gz", "archive.tar", ".gz"},
        {"README", "README", ""},       {".bashrc", "", ".bashrc"},
        {"trailing.", "trailing", "."}, {"", "", ""},
    };
    for (const Case& c : cases) {
        const NameParts parts = SplitName(c.name);
        EXPECT_EQ(c.base, parts.base) << c.name;
        EXPECT_EQ(c.extension, parts.extension) << c.name;
    }
}

TEST_F(BulkRenamerTest, BuildsEachPartInOrder) {
    BulkRenameFields all = Parameter(ParameterKind::Date);
    all.prefixIncluded = true;
    all.prefix = "x_";
    all.fileNameIncluded = true;
    all.suffixIncluded = true;
    all.suffix = "_y";
    BulkRenameFields unincluded;
    unincluded.prefix = "x_";
    unincluded.suffix = "_y";
    BulkRenameFields nameOnly;
    nameOnly.fileNameIncluded = true;
    BulkRenameFields numberAfterName = Parameter(ParameterKind::IncrementNumber);
    numberAfterName.fileNameIncluded = true;

    struct Case {
        const char* what;
        BulkRenameFields fields;
        std::string_view current;
        std::string expected;
    } cases[] = {
        {"every part", all, "photo.jpg", "x_photo20240229_y.jpg"},
        {"texts without their boxes", unincluded, "photo.jpg", ".jpg"},
        {"several dots", nameOnly, "archive.tar.gz", "archive.tar.gz"},
        {"no dot keeps the whole name", numberAfterName, "README", "README1"},
        {"leading dot is an extension", numberAfterName, ".bashrc", "1.bashrc"},
        {"date time", Parameter(ParameterKind::DateTime), "a.txt", "20240229130509.txt"},
        {"time", Parameter(ParameterKind::Time), "a.txt", "130509.txt"},
        {"custom .bak", Custom(".bak"), "photo.jpg", "photo.bak"},
        {"custom bak", Custom("bak"), "photo.jpg", "photo.bak"},
        {"custom *.bak", Custom("*.bak"), "photo.jpg", "photo.bak"},
        {"custom empty", Custom(""), "photo.jpg", "photo."},
        {"custom *", Custom("*"), "photo.jpg", "photo.*"},
        {"custom *.", Custom("*."), "photo.jpg", "photo."},
        {"custom replaces several dots", Custom("zip"), "archive.tar.gz", "archive.tar.zip"},
    };
    for (Case& c : cases) {
        BulkRenamer renamer(Fixed(7));
        EXPECT_EQ(c.expected, renamer.BuildNewName(c.fields, c.current)) << c.what;
    }
}

TEST_F(BulkRenamerTest, StarredCustomExtensionIsStoredWithoutTheStar) {
    BulkRenamer renamer(Fixed(7));
    BulkRenameFields fields = Custom("*.bak");
    fields.prefixIncluded = true;
    fields.prefix = "x_";
    EXPECT_EQ("x_photo.bak", renamer.BuildNewName(fields, "photo.jpg"));
    EXPECT_EQ(".bak", fields.customExtension);
    EXPECT_EQ("x_notes.bak", renamer.BuildNewName(fields, "notes.txt"));
    BulkRenameFields plain = Custom("bak");
    renamer.BuildNewName(plain, "a.b");
    EXPECT_EQ("bak", plain.customExtension);
}

TEST_F(BulkRenamerTest, RandomNumberIsSignedAndZeroWhenTheSourceFails) {
    const struct {
        std::optional<std::uint32_t> drawn;
        std::string expected;
    } cases[] = {{68286, "68286.txt"},
                 {0x7FFFFFFF, "2147483647.txt"},
                 {0x80000000, "-2147483648.txt"},
                 {0xFFFFFFFF, "-1.txt"},
                 {std::nullopt, "0.txt"}};
    for (const auto& c : cases) {
        BulkRenamer renamer(Fixed(c.drawn));
        BulkRenameFields fields = Parameter(ParameterKind::RandomNumber);
        EXPECT_EQ(c.expected, renamer.BuildNewName(fields, "a.txt"));
    }
}

TEST_F(BulkRenamerTest, CounterCountsFromOneRestartsAndWraps) {
    BulkRenamer renamer(Fixed(7));
    BulkRenameFields fields = Parameter(ParameterKind::IncrementNumber);
    EXPECT_EQ("1.txt", renamer.BuildNewName(fields, "a.txt"));
    EXPECT_EQ("2.txt", renamer.BuildNewName(fields, "b.txt"));
    EXPECT_EQ("3.doc", renamer.BuildNewName(fields, "c.doc"));
    renamer.RestartCounter();
    EXPECT_EQ("1.txt", renamer.BuildNewName(fields, "a.txt"));

    BulkRenameFields other = Parameter(ParameterKind::Date);
    renamer.BuildNewName(other, "a.txt");
    EXPECT_EQ(1u, renamer.counter());

    renamer.setCounter(std::numeric_limits<std::uint64_t>::max() - 1);
    EXPECT_EQ("18446744073709551615.txt", renamer.BuildNewName(fields, "a.txt"));
    EXPECT_EQ("1.txt", renamer.BuildNewName(fields, "a.txt"));
}

TEST_F(BulkRenamerTest, UnrepresentableTimeIsNamedSo) {
    BulkRenamer renamer({[] { return std::optional<std::uint32_t>(1); },
                         [] { return std::numeric_limits<std::int64_t>::max(); }});
    BulkRenameFields fields = Parameter(ParameterKind::Date);
    EXPECT_EQ("Invalid DateTime.txt", renamer.BuildNewName(fields, "a.txt"));
}

TEST_F(BulkRenamerTest, PreviewUsesTheSampleAndLeavesCounterAndFieldsAlone) {
    BulkRenamer renamer(Fixed(99));
    BulkRenameFields fields;
    EXPECT_EQ(".txt", renamer.BuildPreview(fields, ParameterKind::IncrementNumber));
    fields.fileNameIncluded = true;
    EXPECT_EQ("sample.txt", renamer.BuildPreview(fields, ParameterKind::IncrementNumber));
    fields.parameterIncluded = true;
    // The list's selection counts, not the kind kept at the last OK.
    fields.parameterKind = ParameterKind::Date;
    EXPECT_EQ("sample1.txt", renamer.BuildPreview(fields, ParameterKind::IncrementNumber));
    EXPECT_EQ("sample68286.txt", renamer.BuildPreview(fields, ParameterKind::RandomNumber));
    EXPECT_EQ("sample20240229130509.txt", renamer.BuildPreview(fields, ParameterKind::DateTime));
    EXPECT_EQ("sample20240229.txt", renamer.BuildPreview(fields, ParameterKind::Date));
    EXPECT_EQ("sample130509.txt", renamer.BuildPreview(fields, ParameterKind::Time));
    EXPECT_EQ(0u, renamer.counter());

    fields.parameterIncluded = false;
    fields.extensionChoice = ExtensionChoice::Custom;
    const struct {
        std::string typed, shown;
    } extensions[] = {
        {"*.bak", "sample.bak"}, {"bak", "sample.bak"}, {".bak", "sample.bak"}, {"", "sample."}};
    for (const auto& e : extensions) {
        fields.customExtension = e.typed;
        EXPECT_EQ(e.shown, renamer.BuildPreview(fields, ParameterKind::IncrementNumber));
        EXPECT_EQ(e.typed, fields.customExtension);
    }
}

}  // namespace
}  // namespace krelix
