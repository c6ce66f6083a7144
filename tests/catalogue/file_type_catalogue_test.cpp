#include "catalogue/file_type_catalogue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace krelix {
namespace {

using Patterns = std::vector<std::string>;

CFileType& FindType(FileTypeCatalogue& catalogue, std::u16string_view category,
                    std::u16string_view pattern) {
    for (CFileCategory& c : catalogue.Categories()) {
        if (c.GetName() != category) {
            continue;
        }
        for (CFileType& t : c.Types()) {
            if (t.GetPattern() == pattern) {
                return t;
            }
        }
    }
    throw std::runtime_error("no such type");
}

TEST(FileTypeCatalogue, ReferencesSurviveAddingAndRemovingOthers) {
    FileTypeCatalogue catalogue;
    std::vector<CFileCategory*> categories;
    for (char16_t n = u'1'; n <= u'5'; ++n) {
        CFileCategory& c = catalogue.AddCategory(std::u16string(u"Category ") + n);
        c.AddType(std::u16string(u"*.") + n, u"first");
        c.AddType(std::u16string(u"*.x") + n, u"second");
        c.SetChecked(n % 2 == 0);
        categories.push_back(&c);
    }
    CFileType& keptType = categories[1]->Types().back();
    keptType.SetChecked(true);

    EXPECT_TRUE(catalogue.RemoveCategory(*categories[2]));
    EXPECT_TRUE(categories[1]->RemoveType(categories[1]->Types().front()));
    for (int i = 0; i < 100; ++i) {
        catalogue.AddCategory(u"more").AddType(u"*.m", u"");
        categories[4]->AddType(u"*.y", u"");
    }

    EXPECT_EQ(u"Category 4", categories[3]->GetName());
    EXPECT_TRUE(categories[3]->IsChecked());
    EXPECT_EQ(u"*.4", categories[3]->Types().front().GetPattern());
    EXPECT_EQ(u"Category 5", categories[4]->GetName());
    EXPECT_FALSE(categories[4]->IsChecked());
    EXPECT_EQ(102u, categories[4]->TypeCount());
    EXPECT_EQ(u"*.x2", keptType.GetPattern());
    EXPECT_TRUE(keptType.IsChecked());
    EXPECT_EQ(&keptType, &categories[1]->Types().front());
    EXPECT_EQ(104u, catalogue.CategoryCount());
}

TEST(FileTypeCatalogue, RemovingWhatIsNotThereChangesNothing) {
    FileTypeCatalogue catalogue;
    CFileCategory& a = catalogue.AddCategory(u"A");
    CFileType& t = a.AddType(u"*.a", u"");
    FileTypeCatalogue other = catalogue;  // same texts, different entries

    EXPECT_FALSE(catalogue.RemoveCategory(other.Categories().front()));
    EXPECT_FALSE(a.RemoveType(other.Categories().front().Types().front()));
    CFileCategory& b = catalogue.AddCategory(u"B");
    EXPECT_FALSE(b.RemoveType(t));  // belongs to A
    EXPECT_EQ(2u, catalogue.CategoryCount());
    EXPECT_EQ(1u, a.TypeCount());
}

TEST(FileTypeCatalogue, CopiesAreDeepAndKeepMarks) {
    FileTypeCatalogue original;
    CFileCategory& c = original.AddCategory(u"Pictures");
    c.SetChecked(true);
    c.AddType(u"*.PNG", u"Portable").SetChecked(true);

    FileTypeCatalogue copy = original;
    CFileType& copied = copy.Categories().front().Types().front();
    EXPECT_TRUE(copy.Categories().front().IsChecked());
    EXPECT_TRUE(copied.IsChecked());
    copied.SetPattern(u"*.GIF");
    EXPECT_EQ(u"*.PNG", original.Categories().front().Types().front().GetPattern());
}

TEST(CatalogueText, BothFormsStayInStep) {
    CFileType type(u"*.\u00C4", u"\U0001F600 smile");
    EXPECT_EQ("*.\xC3\x84", type.PatternUtf8());
    EXPECT_EQ("\xF0\x9F\x98\x80 smile", type.DescriptionUtf8());

    type.SetDescriptionUtf8("Caf\xC3\xA9");  // as loaded: UTF-16 made on first read
    EXPECT_EQ(u"Caf\u00E9", type.GetDescription());
    type.SetDescription(u"");
    EXPECT_EQ("", type.DescriptionUtf8());

    CFileCategory category;
    category.SetNameUtf8("x");
    category.SetNameUtf8("");  // an emptied stored form must not bring back an old UTF-16 one
    EXPECT_EQ(u"", category.GetName());
    category.SetNameUtf8("Fotos");
    EXPECT_EQ(u"Fotos", category.GetName());
}

TEST(PatternText, ListsCheckedTypesInOrderWithRepeats) {
    FileTypeCatalogue catalogue;
    EXPECT_EQ(u"", catalogue.PatternText());
    catalogue.RestoreDefaultCatalogue();
    EXPECT_EQ(u"", catalogue.PatternText());

    FindType(catalogue, u"Text Files", u"*.TXT").SetChecked(true);
    FindType(catalogue, u"Text Files", u"*.RTF").SetChecked(true);
    EXPECT_EQ(u"*.TXT;*.RTF;", catalogue.PatternText());

    FindType(catalogue, u"MS Office Files", u"*.DOC").SetChecked(true);
    FindType(catalogue, u"Document Files", u"*.DOC").SetChecked(true);
    EXPECT_EQ(u"*.TXT;*.RTF;*.DOC;*.DOC;", catalogue.PatternText());

    // Category marks play no part either way.
    for (CFileCategory& c : catalogue.Categories()) {
        c.SetChecked(c.GetName() == u"Photo Images");
    }
    EXPECT_EQ(u"*.TXT;*.RTF;*.DOC;*.DOC;", catalogue.PatternText());
}

TEST(SearchPatterns, EmptyCatalogueSearchesEverythingInEitherMode) {
    const FileTypeCatalogue empty;
    for (TypeFilterMode mode : {TypeFilterMode::Include, TypeFilterMode::Exclude}) {
        const SearchPatternSets sets = empty.SearchPatterns(mode);
        // Not "*.*", which would leave out every name without a dot.
        EXPECT_TRUE(sets.include.empty());
        EXPECT_TRUE(sets.exclude.empty());
    }
}

TEST(SearchPatterns, NothingCheckedGivesNoPatterns) {
    FileTypeCatalogue catalogue;
    catalogue.RestoreDefaultCatalogue();
    for (CFileCategory& c : catalogue.Categories()) {
        c.SetChecked(true);  // category marks alone select nothing
    }
    for (TypeFilterMode mode : {TypeFilterMode::Include, TypeFilterMode::Exclude}) {
        const SearchPatternSets sets = catalogue.SearchPatterns(mode);
        EXPECT_TRUE(sets.include.empty());
        EXPECT_TRUE(sets.exclude.empty());
    }
}

TEST(SearchPatterns, CheckedTypesGoLowerCaseAndOnceToTheChosenSet) {
    FileTypeCatalogue catalogue;
    catalogue.RestoreDefaultCatalogue();
    FindType(catalogue, u"Document Files", u"*.DOC").SetChecked(true);
    FindType(catalogue, u"MS Office Files", u"*.DOC").SetChecked(true);
    FindType(catalogue, u"Photo Images", u"*.JPG").SetChecked(true);
    CFileCategory& mine = catalogue.AddCategory(u"Mine");
    mine.AddType(u"*.Doc", u"mixed case").SetChecked(true);
    mine.AddType(u"\u00C4RGER.*", u"non-ASCII").SetChecked(true);
    mine.AddType(u"*.UNCHECKED", u"");

    const Patterns expected = {"*.doc", "*.jpg", "\xC3\xA4rger.*"};
    const SearchPatternSets include = catalogue.SearchPatterns(TypeFilterMode::Include);
    EXPECT_EQ(expected, include.include);
    EXPECT_TRUE(include.exclude.empty());
    const SearchPatternSets exclude = catalogue.SearchPatterns(TypeFilterMode::Exclude);
    EXPECT_TRUE(exclude.include.empty());
    EXPECT_EQ(expected, exclude.exclude);
}

}  // namespace
}  // namespace krelix
