#include "app/search/search_request_builder.h"

#include <gtest/gtest.h>

#include <limits>

#include "engine/search_flags.h"
#include "engine/search_request.h"

namespace krelix {
namespace {

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

TEST(SearchRequestBuilder, SizeTextsAreUnsignedDecimalNumbers) {
    const struct {
        const char* text;
        std::optional<std::uint64_t> value;
    } cases[] = {
        {"0", 0},
        {"  42 ", 42},
        {"4294967296", 4294967296ull},
        {"18446744073709551615", kMax},
        {"18446744073709551616", std::nullopt},
        {"", std::nullopt},
        {"  ", std::nullopt},
        {"-1", std::nullopt},
        {"+1", std::nullopt},
        {"1.5", std::nullopt},
        {"0x10", std::nullopt},
        {"12 KB", std::nullopt},
        {"\u0661", std::nullopt},  // an Arabic-Indic digit
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseSizeText(QString::fromUtf8(c.text)), c.value) << c.text;
    }
}

TEST(SearchRequestBuilder, SizesAreFullProductsClampedInsteadOfWrapping) {
    const struct {
        std::uint64_t value;
        int unit;
        std::uint64_t bytes;
    } cases[] = {
        {1, 1, 1024},
        {4, 3, 4294967296ull},  // beyond 32 bits
        {4294967295ull, 3, 4294967295ull << 30},
        {5, -1, 5},  // no selection counts as bytes
        {5, 7, 5},
        {17179869184ull, 3, kMax},  // 2^34 GB = 2^64 bytes
        {kMax, 1, kMax},
        {kMax, 0, kMax},
        {0, 3, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SizeInBytes(c.value, c.unit), c.bytes) << c.value << " unit " << c.unit;
    }
}

TEST(SearchRequestBuilder, EmptyRangeOnlyWhenBothLimitsAreOnAndCross) {
    SearchCriteriaValues values;
    values.minSize = {true, 2, 1};  // 2048
    values.maxSize = {true, 2047, 0};
    EXPECT_TRUE(SizeRangeIsEmpty(values));
    values.maxSize.value = 2048;
    EXPECT_FALSE(SizeRangeIsEmpty(values)) << "both bounds are inclusive";
    values.maxSize = {false, 0, 0};
    EXPECT_FALSE(SizeRangeIsEmpty(values));
    values.maxSize = {true, kMax, 3};
    EXPECT_FALSE(SizeRangeIsEmpty(values));
}

TEST(SearchRequestBuilder, FillsFoldersSizesFlagsAndPatterns) {
    FileTypeCatalogue catalogue;
    CFileCategory& pictures = catalogue.AddCategory(u"Pictures");
    pictures.AddType(u"*.JPG", u"").SetChecked(true);
    pictures.AddType(u"*.PNG", u"");
    catalogue.AddCategory(u"Again").AddType(u"*.jpg", u"").SetChecked(true);

    SearchRequest request;
    request.filesScanned = 9;
    request.includePatterns.insert("stale");
    SearchCriteriaValues values;
    values.includeFolders = {"/a/", "/b/", "/a/"};
    values.excludeFolders = {"/a/x/"};
    values.searchFlags = DEFAULT_SEARCH_FLAGS;
    values.minSize = {true, 1, 1};
    values.typeMode = TypeFilterMode::Exclude;
    BuildSearchRequest(values, catalogue, request);

    EXPECT_EQ(request.includeFolders, (SearchRequest::TextSet{"/a/", "/b/"}));
    EXPECT_EQ(request.excludeFolders, (SearchRequest::TextSet{"/a/x/"}));
    EXPECT_EQ(request.optionFlags, DEFAULT_SEARCH_FLAGS | FILTER_SIZE_RANGE);
    EXPECT_EQ(request.minSize, 1024u);
    EXPECT_EQ(request.maxSize, kMax) << "an unchecked bound keeps no limit";
    EXPECT_TRUE(request.includePatterns.empty());
    EXPECT_EQ(request.excludePatterns, (SearchRequest::TextSet{"*.jpg"}));
    EXPECT_EQ(request.filesScanned, 0);

    values.minSize.on = false;
    values.typeMode = TypeFilterMode::Include;
    BuildSearchRequest(values, FileTypeCatalogue{}, request);
    EXPECT_EQ(request.optionFlags, DEFAULT_SEARCH_FLAGS) << "no limit, no size filter";
    EXPECT_EQ(request.minSize, 0u);
    EXPECT_TRUE(request.includePatterns.empty()) << "an empty catalogue keeps dotless names too";
    EXPECT_TRUE(request.excludePatterns.empty());
}

}  // namespace
}  // namespace krelix
