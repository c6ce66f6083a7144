// The summary box's lines after the summary: why a search found less than it might have.
#include "app/search/search_notes.h"

#include "app/search/search_fixture.h"
#include "support/long_path.h"

namespace krelix::test {
namespace {

TEST(SearchNotes, NameTheSettingByItsCheckBoxAndCountInWords) {
    EXPECT_TRUE(SearchNotes({}, 0, 0).isEmpty());
    const QStringList notes = SearchNotes({{"/home/me/.photos/", SkipRule::HiddenFolder},
                                           {"/srv/x/", SkipRule::ExcludedFolder},
                                           {"/var/lib/y/", SkipRule::ApplicationFolder},
                                           {"/bad\xff/", SkipRule::RecycleBin}},
                                          1, 3);
    EXPECT_EQ(notes, (QStringList{
                         "/home/me/.photos/ was not searched: it is a hidden folder (\"Skip Hidden "
                         "Folder\" is on).",
                         "/srv/x/ was not searched: it is also a folder to exclude (\"Exclude from "
                         "Search\" lists it).",
                         "/var/lib/y/ was not searched: it lies in an application folder (\"Skip "
                         "Application folders\" is on).",
                         QStringLiteral("/bad\uFFFD/ was not searched: it lies in the trash (\"Do "
                                        "NOT scan Recycle Bin\" is on)."),
                         "1 file could not be read.",
                         "3 folders could not be read.",
                     }));
    EXPECT_EQ(SearchNotes({}, 12, 1),
              (QStringList{"12 files could not be read.", "1 folder could not be read."}));
}

class SearchNotesRunTest : public SearchFixture {
  protected:
    SearchNotesRunTest()
        : SearchFixture([](const TempTree& t) {
              SkipFolders skip;
              skip.temporary = {t.Path("tmp/")};
              return skip;
          }) {}
};

// The first thing a new user tries finds nothing; the box says why, below the usual summary.
TEST_F(SearchNotesRunTest, SummaryBoxTellsWhyAStartFolderWasNotSearchedAndWhatCouldNotBeRead) {
    tree.AddFile("tmp/photos/a", "same");
    tree.AddFile("tmp/photos/b", "same");
    tree.AddFile("data/x", "1");
    NearPathMax deep(tree.Path("data/"));
    deep.AddTooLong('f', std::nullopt);
    Include(tree.Path("tmp/photos"));
    Include(tree.Path("data"));
    ASSERT_TRUE(SearchAndWait());

    const QString summary = QStringLiteral("Files scanned: 1 , duplicates: 0 ");
    EXPECT_EQ(Summary(), summary.toStdString());
    ASSERT_FALSE(prompts.fake.shown.empty());
    EXPECT_EQ(prompts.fake.shown.back().text,
              summary + "\n" + Q(tree.Path("tmp/photos/")) +
                  " was not searched: it lies in a temporary folder (\"Skip Temporary Files\" is "
                  "on).\n1 folder could not be read.");
}

}  // namespace
}  // namespace krelix::test
