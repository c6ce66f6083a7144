#include "app/commands/rename_and_export_commands.h"

#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>

#include "common/ui/locale_time_text.h"

#include "app/results/result_rows_fixture.h"

namespace krelix::test {
namespace {

using RenameAndExportCommandsTest = ResultRowsFixture;

TEST_F(RenameAndExportCommandsTest, RenameSelectedRenamesTheFileAndItsRow) {
    AddRow("a/first.txt");
    CFileItem* second = AddRow("a/second.txt");
    QSignalSpy changed(&model.rows(), &QAbstractItemModel::dataChanged);

    Choose(CommandId::RenameSelected);  // nothing selected
    EXPECT_TRUE(renameDialogs.askedFor.isEmpty());

    list().selectRow(1);
    renameDialogs.names = {QStringLiteral("-new, name.txt")};
    changed.clear();
    Choose(CommandId::RenameSelected);

    EXPECT_EQ(renameDialogs.askedFor, QStringList{"second.txt"});
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(second->name(), "-new, name.txt");
    EXPECT_EQ(second->path, tree.Path("a/-new, name.txt"));
    EXPECT_FALSE(tree.Exists("a/second.txt"));
    EXPECT_EQ(tree.Read("a/-new, name.txt"), "same");
    EXPECT_EQ(Cell(1, ResultsModel::NameColumn), "-new, name.txt");
    EXPECT_EQ(Cell(1, ResultsModel::PathColumn), Text(second->path));
    EXPECT_EQ(Cell(0, ResultsModel::NameColumn), "first.txt");
    ASSERT_FALSE(changed.isEmpty());
    EXPECT_EQ(changed.first().at(0).toModelIndex().row(), 1);
}

TEST_F(RenameAndExportCommandsTest, RenameCheckedFollowsTheListsRowOrder) {
    AddRow("a.txt");
    CFileItem* b = AddRow("b.txt");
    CFileItem* c = AddRow("c.doc");
    CFileItem* d = AddRow("d.txt");
    d->deleted = 1;
    // Descending by name: d, c, b, a.
    list().sortByColumn(ResultsModel::NameColumn, Qt::DescendingOrder);
    ASSERT_EQ(Cell(0, ResultsModel::NameColumn), "d.txt");
    for (int row : {0, 1, 3}) {
        model.rows().SetChecked(row, true);
    }
    BulkRenameFields rule;
    rule.parameterIncluded = true;
    renameDialogs.rules = {rule};

    QAction* fromMenu = nullptr;
    for (QAction* action : window.deleteCheckedButton()->menu()->actions()) {
        if (action->text() == "Rename Checked Files to ...") {
            fromMenu = action;
        }
    }
    ASSERT_NE(fromMenu, nullptr);
    fromMenu->trigger();

    EXPECT_EQ(renameDialogs.bulkAsked, 1);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(c->name(), "1.doc");
    EXPECT_EQ(tree.Read("1.doc"), "same");
    EXPECT_EQ(tree.Read("2.txt"), "same");
    EXPECT_EQ(b->name(), "b.txt");
    EXPECT_TRUE(tree.Exists("d.txt"));  // deleted rows are skipped
    EXPECT_EQ(Cell(1, ResultsModel::NameColumn), "1.doc");
    EXPECT_EQ(Cell(3, ResultsModel::NameColumn), "2.txt");
    EXPECT_EQ(Cell(3, ResultsModel::PathColumn), Text(tree.Path("2.txt")));
    EXPECT_TRUE(model.rows().IsChecked(1));
    EXPECT_FALSE(model.rows().IsChecked(2));
}

TEST_F(RenameAndExportCommandsTest, ExportWritesTheListedFilesAsTheListShowsThem) {
    QTest::mouseClick(window.exportButton(), Qt::LeftButton);  // empty list
    EXPECT_TRUE(prompts.shown.empty());

    AddRow("x/one.txt", "12345");
    AddRow("y/two, \"quoted\".txt", "12345");
    AddRow("gone.txt", "12345")->deleted = 1;
    AddRow("z/three.txt", "abc");
    tree.AddFolder("out");
    prompts.paths = {Text(tree.Path("out/results"))};
    QTest::mouseClick(window.exportButton(), Qt::LeftButton);

    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, "save");
    EXPECT_EQ(prompts.shown[0].caption, "Save as a csv file");
    const std::string content = tree.Read("out/results.csv");
    ASSERT_TRUE(content.starts_with("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(content.substr(3)).split("\r\n");
    ASSERT_EQ(lines.size(), 4) << content;
    EXPECT_EQ(lines[3], "");
    const auto quoted = [](QString text) { return "\"" + text.replace("\"", "\"\"") + "\""; };
    const auto expected = [&](int row, const QString& name) {
        return Cell(row, ResultsModel::GroupColumn) + "," + name + "," +
               quoted(Cell(row, ResultsModel::PathColumn)) + "," +
               quoted(Cell(row, ResultsModel::TimeColumn));
    };
    EXPECT_EQ(lines[0], expected(0, "one.txt"));
    EXPECT_EQ(lines[1], expected(1, "\"two, \"\"quoted\"\".txt\""));
    EXPECT_EQ(lines[2], expected(3, "three.txt"));
    EXPECT_FALSE(Cell(0, ResultsModel::TimeColumn).isEmpty());
    EXPECT_EQ(Cell(0, ResultsModel::TimeColumn), LocaleTimeText(1700000000));
}

}  // namespace
}  // namespace krelix::test
