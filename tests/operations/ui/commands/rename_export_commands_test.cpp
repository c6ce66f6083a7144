#include "operations/ui/commands/rename_export_commands.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "operations/ui/qstring_printer.h"
#include "support/fake_prompts.h"
#include "support/fake_rename_dialogs.h"
#include "support/listed_record.h"
#include "support/temp_tree.h"

namespace krelix {
namespace {

using test::FakePrompts;
using test::FakeRenameDialogs;
using test::TempTree;

class RenameExportCommandsTest : public ::testing::Test {
  protected:
    RenameExportCommandsTest()
        : commands_(
              prompts_, dialogs_, [](std::int64_t) { return std::u16string(u"t, 1"); },
              {[] { return std::optional<std::uint32_t>(9); }, [] { return std::int64_t{0}; }}) {}

    CFileItem Record(const std::string& relative, std::int32_t row) {
        tree_.AddFile(relative, relative);
        CFileItem item = test::ListedRecord(tree_.Path(relative), "4ABCDEF01");
        item.rowIndex = row;
        return item;
    }

    RenameExportCommands::RowChanged Collect() {
        return [this](const CFileItem& item) { changedRows_.push_back(item.rowIndex); };
    }

    static QString Existing() {
        return QStringLiteral("\nFailed with error %1: %2")
            .arg(EEXIST)
            .arg(QString::fromLocal8Bit(std::strerror(EEXIST)));
    }

    TempTree tree_;
    FakePrompts prompts_;
    FakeRenameDialogs dialogs_;
    RenameExportCommands commands_;
    std::vector<int> changedRows_;
};

TEST_F(RenameExportCommandsTest, RenameSelectedRenamesInPlaceAndRefreshesTheRow) {
    CFileItem item = Record("dir/old.txt", 4);
    dialogs_.names = {QString::fromUtf8("néw, \"1\".txt")};
    commands_.RenameSelected(&item, Collect());
    EXPECT_EQ(QStringList{"old.txt"}, dialogs_.askedFor);
    EXPECT_TRUE(prompts_.shown.empty());
    EXPECT_EQ(std::vector<int>{4}, changedRows_);
    EXPECT_EQ(tree_.Path("dir/néw, \"1\".txt"), item.path);
    EXPECT_EQ("néw, \"1\".txt", item.name());
    EXPECT_EQ("dir/old.txt", tree_.Read("dir/néw, \"1\".txt"));
}

TEST_F(RenameExportCommandsTest, RenameSelectedStopsEarly) {
    commands_.RenameSelected(nullptr, Collect());
    EXPECT_TRUE(dialogs_.askedFor.isEmpty());

    CFileItem deleted = Record("a.txt", 0);
    deleted.deleted = 1;
    commands_.RenameSelected(&deleted, Collect());
    ASSERT_EQ(1u, prompts_.shown.size());
    EXPECT_EQ("Error", prompts_.shown[0].caption);
    EXPECT_EQ("The file has been deleted.Cannot be renamed.", prompts_.shown[0].text);
    EXPECT_TRUE(dialogs_.askedFor.isEmpty());

    CFileItem item = Record("b.txt", 1);
    commands_.RenameSelected(&item, Collect());  // Cancel
    EXPECT_EQ(QStringList{"b.txt"}, dialogs_.askedFor);
    EXPECT_TRUE(changedRows_.empty());
    EXPECT_TRUE(tree_.Exists("b.txt"));
}

TEST_F(RenameExportCommandsTest, RenameSelectedReportsTheFileSystemsRefusal) {
    CFileItem item = Record("a.txt", 0);
    Record("b.txt", 1);
    dialogs_.names = {"b.txt"};
    commands_.RenameSelected(&item, Collect());
    ASSERT_EQ(1u, prompts_.shown.size());
    EXPECT_EQ("Error", prompts_.shown[0].caption);
    EXPECT_EQ("Failed to rename this file." + Existing(), prompts_.shown[0].text);
    EXPECT_TRUE(changedRows_.empty());
    EXPECT_EQ("a.txt", item.name());
    EXPECT_EQ("b.txt", tree_.Read("b.txt"));
}

TEST_F(RenameExportCommandsTest, RenameCheckedReportsEachFailureAndGoesOn) {
    // "%2" in a name must reach the message as it is.
    std::vector<CFileItem> items = {Record("one/a.txt", 0), Record("one/b%2.txt", 1),
                                    Record("two/c.txt", 2)};
    Record("one/2.txt", 9);
    std::vector<CFileItem*> checked = {&items[0], &items[1], &items[2]};
    BulkRenameFields rule;
    rule.parameterIncluded = true;
    dialogs_.rules = {rule};
    commands_.RenameChecked(checked, Collect());
    EXPECT_EQ((std::vector<int>{0, 2}), changedRows_);
    ASSERT_EQ(1u, prompts_.shown.size());
    EXPECT_EQ("Error", prompts_.shown[0].caption);
    EXPECT_EQ("Failed to rename the file " + QString::fromStdString(tree_.Path("one/b%2.txt")) +
                  " to " + QString::fromStdString(tree_.Path("one/2.txt")) + Existing(),
              prompts_.shown[0].text);
    EXPECT_EQ("one/a.txt", tree_.Read("one/1.txt"));
    EXPECT_EQ("two/c.txt", tree_.Read("two/3.txt"));

    // Cancel renames nothing; the next bulk rename counts from 1 again.
    commands_.RenameChecked(checked, Collect());
    EXPECT_EQ(2, dialogs_.bulkAsked);
    dialogs_.rules = {rule};
    changedRows_.clear();
    std::vector<CFileItem*> last = {&items[2]};
    commands_.RenameChecked(last, Collect());
    EXPECT_EQ(1u, prompts_.shown.size());
    EXPECT_EQ(std::vector<int>{2}, changedRows_);
    EXPECT_EQ("two/c.txt", tree_.Read("two/1.txt"));
}

TEST_F(RenameExportCommandsTest, ExportAsksForAFileAndWritesIt) {
    std::vector<CFileItem> items = {Record("a.txt", 0), Record("b.txt", 1)};
    std::vector<const CFileItem*> rows = {&items[0], &items[1]};

    commands_.Export({});
    EXPECT_TRUE(prompts_.shown.empty());

    commands_.Export(rows);  // cancelled
    ASSERT_EQ(1u, prompts_.shown.size());
    EXPECT_EQ("save", prompts_.shown[0].kind);
    EXPECT_EQ("Save as a csv file", prompts_.shown[0].caption);

    prompts_.paths = {QString::fromStdString(tree_.Path("results"))};
    commands_.Export(rows);
    EXPECT_EQ(2u, prompts_.shown.size());
    EXPECT_EQ(
        "\xEF\xBB\xBF"
        "4ABCDEF01,a.txt,\"" +
            tree_.Path("a.txt") + "\",\"t, 1\"\r\n" + "4ABCDEF01,b.txt,\"" + tree_.Path("b.txt") +
            "\",\"t, 1\"\r\n",
        tree_.Read("results.csv"));
}

TEST_F(RenameExportCommandsTest, ExportReplacesAnExistingFileOnlyOnYes) {
    std::vector<CFileItem> items = {Record("a.txt", 0)};
    std::vector<const CFileItem*> rows = {&items[0]};
    const std::string old = "older export";
    // Typed without ".csv", and as the full name: both end at results.csv.
    for (const char* typed : {"results", "results.csv"}) {
        tree_.AddFile("results.csv", old);
        prompts_.shown.clear();
        prompts_.paths = {QString::fromStdString(tree_.Path(typed))};
        prompts_.answers = {false};
        commands_.Export(rows);
        ASSERT_EQ(2u, prompts_.shown.size()) << typed;
        EXPECT_EQ("yesno", prompts_.shown[1].kind);
        EXPECT_EQ("The file " + QString::fromStdString(tree_.Path("results.csv")) +
                      " already exists.\nDo you want to replace it?",
                  prompts_.shown[1].text);
        EXPECT_EQ(old, tree_.Read("results.csv")) << typed;
        EXPECT_FALSE(tree_.Exists("results")) << typed;

        prompts_.paths = {QString::fromStdString(tree_.Path(typed))};
        prompts_.answers = {true};
        commands_.Export(rows);
        EXPECT_TRUE(tree_.Read("results.csv")
                        .starts_with("\xEF\xBB\xBF"
                                     "4ABCDEF01,a.txt,"))
            << typed;
    }
}

TEST_F(RenameExportCommandsTest, ExportShowsTheFixedFailureTexts) {
    std::vector<CFileItem> items = {Record("a.txt", 0)};
    std::vector<const CFileItem*> rows = {&items[0]};
    prompts_.paths = {QString::fromStdString(tree_.Path("missing/out.csv"))};
    commands_.Export(rows);
    ASSERT_EQ(2u, prompts_.shown.size());
    EXPECT_EQ("Tessmark Duplicate Finder", prompts_.shown[1].caption);
    EXPECT_EQ("Failed to create the file.", prompts_.shown[1].text);
    if (::access("/dev/full", W_OK) != 0) {
        GTEST_SKIP() << "no /dev/full";
    }
    prompts_.paths = {QString::fromStdString(tree_.AddSymlink("full.csv", "/dev/full"))};
    commands_.Export(rows);  // Yes to replacing it
    ASSERT_EQ(5u, prompts_.shown.size());
    EXPECT_EQ("yesno", prompts_.shown[3].kind);
    EXPECT_EQ("Tessmark Duplicate Finder", prompts_.shown[4].caption);
    EXPECT_EQ("Failed to write the file.", prompts_.shown[4].text);
}

}  // namespace
}  // namespace krelix
