#include "catalogue/default_catalogue.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "catalogue/file_type_catalogue.h"

namespace krelix {
namespace {

TEST(DefaultCatalogue, HasElevenCategoriesInOrderWithTheirTypeCounts) {
    FileTypeCatalogue catalogue;
    catalogue.RestoreDefaultCatalogue();

    const std::vector<std::pair<std::u16string, std::size_t>> expected = {
        {u"Any Files", 1},        {u"Text Files", 3},        {u"Document Files", 9},
        {u"MS Office Files", 27}, {u"Open Office Files", 6}, {u"Photo Images", 35},
        {u"Music Files", 17},     {u"Video Files", 22},      {u"CAD Files", 4},
        {u"Web Files", 12},       {u"Archive Files", 20},
    };
    ASSERT_EQ(expected.size(), catalogue.CategoryCount());
    std::size_t total = 0;
    auto want = expected.begin();
    for (const CFileCategory& category : catalogue.Categories()) {
        EXPECT_EQ(want->first, category.GetName());
        EXPECT_EQ(want->second, category.TypeCount()) << category.NameUtf8();
        EXPECT_FALSE(category.IsChecked());
        for (const CFileType& type : category.Types()) {
            EXPECT_FALSE(type.IsChecked());
            EXPECT_EQ(u"*.", type.GetPattern().substr(0, 2));
        }
        total += category.TypeCount();
        ++want;
    }
    EXPECT_EQ(156u, total);
}

TEST(DefaultCatalogue, KeepsTextsAsWrittenIncludingOddSpacingAndRepeats) {
    FileTypeCatalogue catalogue;
    catalogue.RestoreDefaultCatalogue();
    std::multimap<std::string, std::string> typesByPattern;  // pattern -> "category|description"
    for (const CFileCategory& category : catalogue.Categories()) {
        for (const CFileType& type : category.Types()) {
            typesByPattern.emplace(type.PatternUtf8(),
                                   category.NameUtf8() + "|" + type.DescriptionUtf8());
        }
    }
    auto only = [&](const std::string& pattern) {
        auto [first, last] = typesByPattern.equal_range(pattern);
        std::vector<std::string> found;
        for (auto it = first; it != last; ++it) {
            found.push_back(it->second);
        }
        return found;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(V{"Any Files|Any Files"}, only("*.*"));
    EXPECT_EQ((V{"Document Files|Microsoft Word 2007/ 2010 Open XML Macro-enabled Document "
                 "Template",
                 "MS Office Files|Microsoft Word 2007/ 2010 Open XML Macro-enabled Document "
                 "Template"}),
              only("*.DOTM"));
    EXPECT_EQ((V{"Document Files|OpenOffice.org Text Document",
                 "Open Office Files|OpenDocument Text Document"}),
              only("*.ODT"));
    EXPECT_EQ((V{"Photo Images|Raw Image Data File", "Music Files|RAW sound file"}), only("*.RAW"));
    EXPECT_EQ((V{"Web Files|XHTML Files", "Web Files|Extensible Hypertext Markup Language File"}),
              only("*.XHTML"));
    EXPECT_EQ(V{"Photo Images|Zsoft PC Publisher's Paintbrush image"}, only("*.DCX"));
    EXPECT_EQ(V{"Archive Files|Unix standard Archive format, Tape Archive"}, only("*.TAR"));
    EXPECT_EQ(V{"Archive Files|Disc Image File"}, only("*.ISO"));
}

TEST(DefaultCatalogue, RestoreReplacesEverythingAndClearsMarks) {
    FileTypeCatalogue catalogue;
    catalogue.RestoreDefaultCatalogue();
    CFileCategory& mine = catalogue.AddCategory(u"Mine");
    mine.AddType(u"*.abc", u"");
    catalogue.Categories().front().SetChecked(true);
    catalogue.Categories().front().Types().front().SetChecked(true);

    catalogue.RestoreDefaultCatalogue();

    EXPECT_EQ(11u, catalogue.CategoryCount());
    EXPECT_EQ(u"Archive Files", catalogue.Categories().back().GetName());
    EXPECT_FALSE(catalogue.Categories().front().IsChecked());
    EXPECT_TRUE(catalogue.PatternText().empty());
}

}  // namespace
}  // namespace krelix
