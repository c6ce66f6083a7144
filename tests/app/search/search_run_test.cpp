// Whole searches through the main window on real temporary trees.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include "app/results/results_model.h"
#include "app/search/search_fixture.h"

namespace krelix::test {
namespace {

using Paths = std::set<std::string>;

class SearchRunTest : public SearchFixture {};

TEST_F(SearchRunTest, ListsGroupsOfIncludedFoldersWithoutExcludedOnesOrSingles) {
    const std::string x = tree.AddFile("a/x.txt", "same");
    const std::string y = tree.AddFile("a/y.txt", "same");
    tree.AddFile("a/single.txt", "one");
    tree.AddFile("a/same-size.txt", "sama");  // shares the size, not the content
    const std::string z = tree.AddFile("b/z.txt", "same");
    tree.AddFile("b/sub/w.txt", "same");
    Include(tree.Path("a"));
    Include(tree.Path("b/"));
    Include(tree.Path("b"));  // the same folder again, searched once
    Exclude(tree.Path("b/sub"));
    ASSERT_TRUE(SearchAndWait());

    EXPECT_EQ(GroupPaths(), (std::set<Paths>{{x, y, z}}));
    EXPECT_EQ(Groups().begin()->first, "4" + std::string(model.rows().RecordAt(0)->crc()));
    EXPECT_EQ(model.request().includeFolders.size(), 2u);
    EXPECT_EQ(model.request().excludeFolders, (SearchRequest::TextSet{tree.Path("b/sub/")}));
    const QString summary = QStringLiteral("Files scanned: 5 , duplicates: 3 ");
    EXPECT_EQ(Summary(), summary.toStdString());
    ASSERT_FALSE(prompts.fake.shown.empty());
    EXPECT_EQ(prompts.fake.shown.back().caption, QStringLiteral("Tessmark Duplicate Finder"));
    EXPECT_EQ(prompts.fake.shown.back().text, summary);
    EXPECT_EQ(model.results().size(), 3u);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(model.rows().RecordAt(row)->rowIndex, row);
    }
    EXPECT_TRUE(window.isEnabled());
    EXPECT_TRUE(window.searchButton()->isEnabled());
    EXPECT_FALSE(controller.waitingDlg()->isVisible());
}

TEST_F(SearchRunTest, AnEmptyCatalogueFindsNamesWithoutADot) {
    ASSERT_TRUE(model.catalogue().IsEmpty());
    const std::string a = tree.AddFile("Makefile", "all:\n"),
                      b = tree.AddFile("copy/Makefile", "all:\n");
    Include(tree.Path(""));
    ASSERT_TRUE(SearchAndWait());
    EXPECT_EQ(GroupPaths(), (std::set<Paths>{{a, b}}));
}

TEST_F(SearchRunTest, CheckedTypesAreSearchedOrLeftOutByTheRadio) {
    const std::string j1 = tree.AddFile("p1.jpg", "jpeg"), j2 = tree.AddFile("p2.JPG", "jpeg");
    const std::string n1 = tree.AddFile("q1.png", "png!"), n2 = tree.AddFile("q2.png", "png!");
    const std::string t1 = tree.AddFile("t1.txt", "text"), t2 = tree.AddFile("t2.txt", "text");
    Include(tree.root());

    ASSERT_TRUE(SearchAndWait());
    EXPECT_EQ(GroupPaths().size(), 3u) << "an empty catalogue searches every file";

    std::optional<FileTypeCatalogue> answer;
    window.searchCriteria()->SetFileTypeChooser(
        [&answer](QWidget*, const FileTypeCatalogue&) { return answer; });
    FileTypeCatalogue chosen;
    CFileCategory& pictures = chosen.AddCategory(u"Pictures");
    pictures.AddType(u"*.JPG", u"").SetChecked(true);
    pictures.AddType(u"*.GIF", u"");
    chosen.AddCategory(u"More").AddType(u"*.PNG", u"").SetChecked(true);
    answer = chosen;
    QTest::mouseClick(window.searchCriteria()->selectFileTypeButton(), Qt::LeftButton);
    EXPECT_EQ(window.searchCriteria()->typeText()->text(), QStringLiteral("*.JPG;*.PNG;"));

    answer.reset();  // a cancelled chooser changes nothing
    QTest::mouseClick(window.searchCriteria()->selectFileTypeButton(), Qt::LeftButton);
    EXPECT_EQ(window.searchCriteria()->typeText()->text(), QStringLiteral("*.JPG;*.PNG;"));
    EXPECT_EQ(model.catalogue().CategoryCount(), 2u);

    ASSERT_TRUE(SearchAndWait());
    EXPECT_EQ(GroupPaths(), (std::set<Paths>{{j1, j2}, {n1, n2}}));

    window.searchCriteria()->typeExcludeRadio()->click();
    ASSERT_TRUE(SearchAndWait());
    EXPECT_EQ(GroupPaths(), (std::set<Paths>{{t1, t2}}));
    EXPECT_EQ(Summary(), "Files scanned: 2 , duplicates: 2 ");
}

// The size limits with their units, up to a limit beyond 32 bits (sparse files, never read:
// each size is held by one file only).
TEST_F(SearchRunTest, SizeLimitsCountInTheirUnitsBeyond32Bits) {
    tree.AddSizedFile("small/1023a.bin", 1023);
    tree.AddSizedFile("small/1023b.bin", 1023);
    const std::string k1 = tree.AddSizedFile("small/1024a.bin", 1024);
    const std::string k2 = tree.AddSizedFile("small/1024b.bin", 1024);
    const std::string m1 = tree.AddSizedFile("small/2048a.bin", 2048);
    const std::string m2 = tree.AddSizedFile("small/2048b.bin", 2048);
    tree.AddSparseFile("big/4g.bin", 4294967296ull);
    tree.AddSparseFile("big/4g+1.bin", 4294967297ull);
    Include(tree.Path("small"));
    Include(tree.Path("big"));

    window.searchCriteria()->minSizeCheck()->click();
    window.searchCriteria()->minSizeEdit()->setText(QStringLiteral("1"));
    window.searchCriteria()->minUnitCombo()->setCurrentIndex(1);  // KB
    ASSERT_TRUE(SearchAndWait());
    EXPECT_EQ(GroupPaths(), (std::set<Paths>{{k1, k2}, {m1, m2}}));
    EXPECT_EQ(model.request().minSize, 1024u);
    EXPECT_EQ(Summary(), "Files scanned: 6 , duplicates: 4 ");

    window.searchCriteria()->maxSizeCheck()->click();
    window.searchCriteria()->maxSizeEdit()->setText(QStringLiteral("4"));
    window.searchCriteria()->maxUnitCombo()->setCurrentIndex(3);  // GB
    ASSERT_TRUE(SearchAndWait());
    EXPECT_EQ(model.request().maxSize, 4294967296ull);
    EXPECT_EQ(Summary(), "Files scanned: 5 , duplicates: 4 ") << "4g kept, 4g+1 not";

    window.searchCriteria()->maxSizeEdit()->setText(QStringLiteral("1"));
    window.searchCriteria()->maxUnitCombo()->setCurrentIndex(1);
    ASSERT_TRUE(SearchAndWait());
    EXPECT_EQ(GroupPaths(), (std::set<Paths>{{k1, k2}})) << "both bounds are inclusive";

    window.searchCriteria()
        ->minSizeCheck()
        ->click();  // unchecked: no lower limit, the number is kept
    ASSERT_TRUE(SearchAndWait());
    EXPECT_EQ(GroupPaths().size(), 2u);
    EXPECT_EQ(window.searchCriteria()->minSizeEdit()->text(), QStringLiteral("1"));
}

TEST_F(SearchRunTest, SizeEditsWithoutANumberCountWithTheirLastValue) {
    tree.AddSizedFile("1023a.bin", 1023);
    tree.AddSizedFile("1023b.bin", 1023);
    tree.AddSizedFile("1024a.bin", 1024);
    tree.AddSizedFile("1024b.bin", 1024);
    Include(tree.root());
    window.searchCriteria()->minSizeCheck()->click();
    window.searchCriteria()->minSizeEdit()->setText(QStringLiteral("1024"));
    ASSERT_TRUE(SearchAndWait());
    EXPECT_EQ(GroupPaths().size(), 1u);

    window.searchCriteria()->minSizeEdit()->setText(QStringLiteral("1k"));
    ASSERT_TRUE(SearchAndWait());
    EXPECT_TRUE(prompts.fake.Texts().contains(QStringLiteral("Please enter an unsigned integer.")));
    EXPECT_EQ(window.searchCriteria()->minSizeEdit()->text(), QStringLiteral("1024"));
    EXPECT_EQ(model.request().minSize, 1024u);
    EXPECT_EQ(GroupPaths().size(), 1u);
}

TEST_F(SearchRunTest, RefusedSearchesLeaveTheOldResultsAsTheyWere) {
    tree.AddFile("a.txt", "same");
    tree.AddFile("b.txt", "same");
    Include(tree.root());
    ASSERT_TRUE(SearchAndWait());
    ASSERT_EQ(model.rows().rowCount(), 2);
    const std::string summary = Summary();
    const std::size_t shown = prompts.fake.shown.size();

    window.searchCriteria()->includeList()->RemoveItem(0);
    QTest::mouseClick(window.searchButton(), Qt::LeftButton);
    ASSERT_EQ(prompts.fake.shown.size(), shown + 1);
    EXPECT_EQ(prompts.fake.shown.back().text, QStringLiteral("Please Input the search path."));
    EXPECT_EQ(prompts.fake.shown.back().caption, QStringLiteral("Krelix"));

    Include(tree.root());
    window.searchCriteria()->minSizeCheck()->click();
    window.searchCriteria()->maxSizeCheck()->click();
    window.searchCriteria()->minSizeEdit()->setText(QStringLiteral("2"));
    window.searchCriteria()->maxSizeEdit()->setText(QStringLiteral("1"));
    QTest::mouseClick(window.searchButton(), Qt::LeftButton);
    EXPECT_EQ(prompts.fake.shown.back().text,
              QStringLiteral("The minimum file size is larger than the maximum file size."));

    EXPECT_EQ(controller.phase(), SearchController::Phase::Idle);
    EXPECT_EQ(model.rows().rowCount(), 2);
    EXPECT_EQ(model.results().size(), 2u);
    EXPECT_EQ(Summary(), summary);
    EXPECT_TRUE(window.searchButton()->isEnabled());
    EXPECT_EQ(controller.waitingDlg()->isVisible(), false);
}

TEST_F(SearchRunTest, OnlyVanishedFoldersStillRunAndClearTheOldResults) {
    tree.AddFile("a/x.txt", "same");
    tree.AddFile("a/y.txt", "same");
    const std::string gone = tree.AddFolder("gone");
    Include(tree.Path("a"));
    ASSERT_TRUE(SearchAndWait());
    ASSERT_EQ(model.rows().rowCount(), 2);

    window.searchCriteria()->includeList()->RemoveItem(0);
    Include(gone);
    ASSERT_EQ(rmdir(gone.c_str()), 0);
    ASSERT_TRUE(SearchAndWait());
    EXPECT_EQ(model.rows().rowCount(), 0);
    EXPECT_EQ(model.results().size(), 0u);
    EXPECT_EQ(Summary(), "Files scanned: 0 , duplicates: 0 ");
}

// Groups alternate from an unshaded first one in every run, across filling batches.
TEST_F(SearchRunTest, EveryRunStartsItsShadingWithAnUnshadedGroup) {
    for (int group = 0; group < 5; ++group) {
        for (const char* member : {"a", "b"}) {
            tree.AddFile("g" + std::to_string(group) + member + ".txt",
                         std::string(group + 1, 'x'));
        }
    }
    Include(tree.root());
    controller.SetFillBatchRows(3);  // batches end inside no group: 4, 4, 2 rows
    QSignalSpy batches(&controller, &SearchController::rowsAdded);
    for (int run = 0; run < 2; ++run) {
        ASSERT_TRUE(SearchAndWait());
        ASSERT_EQ(model.rows().rowCount(), 10);
        std::vector<bool> shading;
        for (int row = 0; row < 10; ++row) {
            shading.push_back(model.rows().IsRowShaded(row));
            if (row % 2 == 1) {
                EXPECT_EQ(model.rows().RecordAt(row)->groupKey,
                          model.rows().RecordAt(row - 1)->groupKey);
            }
        }
        EXPECT_EQ(shading, (std::vector<bool>{false, false, true, true, false, false, true, true,
                                              false, false}))
            << "run " << run;
        const QModelIndex first = model.rows().index(0, ResultsModel::NameColumn);
        EXPECT_EQ(first.data(Qt::BackgroundRole).value<QColor>(), ResultsModel::kPlainBackground);
    }
    EXPECT_EQ(batches.count(), 6);
    EXPECT_EQ(batches.at(0).at(0).toInt(), 4);
}

}  // namespace
}  // namespace krelix::test
