#include "catalogue/check_marks.h"

#include <gtest/gtest.h>

#include <vector>

#include "catalogue/file_type_catalogue.h"
#include "catalogue/type_pattern.h"

namespace krelix {
namespace {

std::vector<bool> Marks(const CFileCategory& category) {
    std::vector<bool> marks{category.IsChecked()};
    for (const CFileType& type : category.Types()) {
        marks.push_back(type.IsChecked());
    }
    return marks;
}

class CheckMarksTest : public ::testing::Test {
  protected:
    CheckMarksTest()
        : photos(catalogue.AddCategory(u"Photos")), other(catalogue.AddCategory(u"X")) {
        jpg = &photos.AddType(u"*.JPG", u"");
        png = &photos.AddType(u"*.PNG", u"");
        gif = &photos.AddType(u"*.GIF", u"");
        other.AddType(u"*.X", u"");
    }
    FileTypeCatalogue catalogue;
    CFileCategory& photos;
    CFileCategory& other;
    CFileType* jpg;
    CFileType* png;
    CFileType* gif;
};

TEST_F(CheckMarksTest, CategoryBoxMarksAndUnmarksEveryTypeBelowIt) {
    png->SetChecked(true);
    CheckMarks::ToggleCategory(photos);
    EXPECT_EQ(Marks(photos), (std::vector<bool>{true, true, true, true}));
    CheckMarks::ToggleCategory(photos);
    EXPECT_EQ(Marks(photos), (std::vector<bool>{false, false, false, false}));
    EXPECT_EQ(Marks(other), (std::vector<bool>{false, false})) << "other categories untouched";
}

TEST_F(CheckMarksTest, CategoryFollowsWhetherAllItsTypesAreMarked) {
    CheckMarks::ToggleCategory(photos);
    CheckMarks::ToggleType(photos, *png);
    EXPECT_EQ(Marks(photos), (std::vector<bool>{false, true, false, true}));
    CheckMarks::ToggleType(photos, *png);
    EXPECT_EQ(Marks(photos), (std::vector<bool>{true, true, true, true}));

    CheckMarks::ToggleCategory(photos);
    for (CFileType* type : {jpg, png}) {
        CheckMarks::ToggleType(photos, *type);
        EXPECT_FALSE(photos.IsChecked());
    }
    CheckMarks::ToggleType(photos, *gif);
    EXPECT_TRUE(photos.IsChecked()) << "the last type marked marks the category";
}

TEST_F(CheckMarksTest, CategoryWithOneTypeFollowsIt) {
    CFileType& x = other.Types().front();
    CheckMarks::ToggleType(other, x);
    EXPECT_TRUE(other.IsChecked());
    CheckMarks::ToggleType(other, x);
    EXPECT_FALSE(other.IsChecked());
}

TEST(TypePattern, NormalisesBareAndDottedExtensionsOnly) {
    const struct {
        std::u16string typed;
        std::u16string stored;
    } cases[] = {
        {u"txt", u"*.txt"},   {u".txt", u"*.txt"},
        {u"*.txt", u"*.txt"}, {u"*", u"*.*"},
        {u"*txt", u"*.*txt"}, {u"report.pdf", u"report.pdf"},
        {u"..", u"*.."},      {u".tar.gz", u"*.tar.gz"},
        {u"a*.b", u"a*.b"},   {u"\u00e9t\u00e9", u"*.\u00e9t\u00e9"},
        {u"", u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NormaliseTypePattern(c.typed), c.stored);
    }
}

TEST(TypePattern, LabelIsPatternInParenthesesThenDescription) {
    EXPECT_EQ(TypeLabel(u"*.TXT", u"Plain Text File"), u"(*.TXT)Plain Text File");
    EXPECT_EQ(TypeLabel(u"*.X", u""), u"(*.X)");
}

}  // namespace
}  // namespace krelix
