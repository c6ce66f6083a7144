#include "app/results/results_model.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <limits>

#include "app/results/result_set.h"

namespace krelix {
namespace {

struct RowSeed {
    const char* name;
    std::uint64_t size;
    const char* crc;
    std::int64_t modified;
};

// A result copy and its rows, filled as a search would: group by group, then striped.
class Filled {
  public:
    explicit Filled(std::initializer_list<RowSeed> seeds) {
        std::vector<CFileItem*> records;
        for (const RowSeed& s : seeds) {
            CFileItem item;
            item.path = std::string("/data/") + s.name;
            item.size = s.size;
            item.groupKey = std::to_string(s.size) + s.crc;
            item.modified = s.modified;
            records.push_back(set.Add(std::move(item)));
        }
        model.AppendRecords(records);
        model.SetColourMarking(true);
        model.SetFontMarking(true);
        model.RestripeGroups();
    }

    QVariant Data(int row, int column, int role) const {
        return model.data(model.index(row, column), role);
    }
    std::string Name(int row) const { return std::string(model.RecordAt(row)->name()); }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int row = 0; row < model.rowCount(); ++row) {
            names.push_back(Name(row));
        }
        return names;
    }
    // Every record names its row, and marks obey the group alternation and deleted flags.
    void ExpectConsistent() const {
        bool shade = true;
        std::string previous;
        for (int row = 0; row < model.rowCount(); ++row) {
            const CFileItem* record = model.RecordAt(row);
            EXPECT_EQ(record->rowIndex, row) << record->name();
            if (row == 0 || record->groupKey != previous) {
                shade = !shade;
                previous = record->groupKey;
            }
            EXPECT_EQ(model.IsRowShaded(row), shade) << "row " << row;
            EXPECT_EQ(model.IsRowStruck(row), record->deleted != 0) << "row " << row;
        }
    }

    ResultSet set;
    ResultsModel model;
};

TEST(ResultsModel, GroupsAlternateColoursAndStruckRowsKeepThemWithAStruckFont) {
    Filled f({{"a1", 10, "AAAAAAAA", 1},
              {"a2", 10, "AAAAAAAA", 2},
              {"b1", 20, "BBBBBBBB", 3},
              {"b2", 20, "BBBBBBBB", 4},
              {"c1", 30, "CCCCCCCC", 5}});
    f.model.SetRowStruck(3);

    const QColor plainBack(196, 238, 254), shadedBack(253, 241, 249);
    const QColor plainText(0, 0, 0), shadedText(128, 37, 0);
    const struct {
        int row;
        QColor back, text;
        bool struck;
    } expected[] = {{0, plainBack, plainText, false},
                    {1, plainBack, plainText, false},
                    {2, shadedBack, shadedText, false},
                    {3, shadedBack, shadedText, true},
                    {4, plainBack, plainText, false}};
    for (const auto& e : expected) {
        for (int column = 0; column < ResultsModel::ColumnCount; ++column) {
            EXPECT_EQ(f.Data(e.row, column, Qt::BackgroundRole).value<QColor>(), e.back)
                << e.row << "," << column;
            EXPECT_EQ(f.Data(e.row, column, Qt::ForegroundRole).value<QColor>(), e.text)
                << e.row << "," << column;
            const QVariant font = f.Data(e.row, column, Qt::FontRole);
            EXPECT_EQ(font.isValid(), e.struck) << e.row << "," << column;
            if (e.struck) {
                EXPECT_TRUE(font.value<QFont>().strikeOut());
                EXPECT_FALSE(font.value<QFont>().underline());
            }
        }
        EXPECT_EQ(f.Data(e.row, 0, ResultsModel::StruckRole).toBool(), e.struck);
    }
}

TEST(ResultsModel, LinkedRowsLookApartAndStaySoThroughSortsAndRestripes) {
    Filled f({{"a1", 10, "AAAAAAAA", 1},
              {"a2", 10, "AAAAAAAA", 2},
              {"b1", 20, "BBBBBBBB", 3},
              {"b2", 20, "BBBBBBBB", 4}});
    f.model.SetRowLinked(1, LinkKind::HardLink);
    f.model.SetRowLinked(3, LinkKind::Clone);
    f.model.RecordAt(3)->deleted = 1;
    f.model.sort(ResultsModel::NameColumn, Qt::DescendingOrder);  // b2 b1 a2 a1
    f.model.RestripeGroups();

    EXPECT_EQ(LinkKind::Clone, f.model.RowLink(0));
    EXPECT_EQ(std::nullopt, f.model.RowLink(1));
    EXPECT_EQ(LinkKind::HardLink, f.model.RowLink(2));
    EXPECT_EQ(f.Data(2, 0, Qt::ForegroundRole).value<QColor>(), ResultsModel::kLinkedText);
    EXPECT_TRUE(f.Data(2, 0, Qt::FontRole).value<QFont>().italic());
    EXPECT_FALSE(f.Data(2, 0, Qt::FontRole).value<QFont>().strikeOut());
    const QFont linkedAndGone = f.Data(0, 0, Qt::FontRole).value<QFont>();
    EXPECT_TRUE(linkedAndGone.italic());
    EXPECT_TRUE(linkedAndGone.strikeOut());
    EXPECT_FALSE(f.Data(1, 0, Qt::FontRole).isValid());
    EXPECT_EQ(f.Data(2, ResultsModel::PathColumn, Qt::ToolTipRole).toString(),
              f.Data(2, ResultsModel::PathColumn, Qt::DisplayRole).toString() +
                  QStringLiteral("\nReplaced by a hard link to the file kept in its group."));
    EXPECT_TRUE(
        f.Data(0, 1, Qt::ToolTipRole)
            .toString()
            .endsWith(QStringLiteral("Replaced by a clone of the file kept in its group.")));
    EXPECT_EQ(f.Data(1, 1, Qt::ToolTipRole), f.Data(1, 1, Qt::DisplayRole));
}

TEST(ResultsModel, MarksOnRowsWithoutEntriesAndClearing) {
    Filled f({{"a1", 10, "AAAAAAAA", 1}, {"a2", 10, "AAAAAAAA", 2}, {"a3", 10, "AAAAAAAA", 3}});
    f.model.ClearRowMarks();
    QSignalSpy changed(&f.model, &QAbstractItemModel::dataChanged);

    f.model.SetRowShaded(0, /*redraw=*/false);
    EXPECT_EQ(changed.count(), 0) << "no redraw asked";
    f.model.SetRowShaded(1, /*redraw=*/true);
    EXPECT_EQ(changed.count(), 1);
    f.model.SetRowStruck(2);
    EXPECT_EQ(changed.count(), 2) << "struck rows are always redrawn";
    f.model.SetRowStruck(1);
    EXPECT_TRUE(f.model.IsRowShaded(1) && f.model.IsRowStruck(1)) << "struck keeps shaded";
    EXPECT_TRUE(!f.model.IsRowShaded(2) && f.model.IsRowStruck(2));
    f.model.SetRowShaded(7, true);  // past the end: ignored
    f.model.SetRowStruck(-1);

    f.model.ClearRowMarks();
    for (int row = 0; row < 3; ++row) {
        EXPECT_FALSE(f.model.IsRowShaded(row) || f.model.IsRowStruck(row));
        EXPECT_FALSE(f.Data(row, 0, Qt::FontRole).isValid());
    }
    f.model.SetColourMarking(false);
    EXPECT_FALSE(f.Data(0, 0, Qt::BackgroundRole).isValid()) << "the list's own colours";
}

TEST(ResultsModel, CellTextsIncludeFullSizesAndSurviveOddValues) {
    Filled f({{"big.iso", 5'000'000'000ULL, "0000ABCD", 0},
              {"big2.iso", 5'000'000'000ULL, "0000ABCD", std::numeric_limits<std::int64_t>::max()},
              {"caf\xC3\xA9\xFF.txt", 3, "00000001", std::numeric_limits<std::int64_t>::min()}});
    EXPECT_EQ(f.Data(0, ResultsModel::SizeColumn, Qt::DisplayRole).toString(),
              QStringLiteral("5000000000"));
    EXPECT_EQ(f.Data(0, ResultsModel::GroupColumn, Qt::DisplayRole).toString(),
              QStringLiteral("50000000000000ABCD"));
    EXPECT_FALSE(f.Data(0, ResultsModel::TimeColumn, Qt::DisplayRole).toString().isEmpty());
    EXPECT_TRUE(f.Data(1, ResultsModel::TimeColumn, Qt::DisplayRole).toString().isEmpty());
    EXPECT_TRUE(f.Data(2, ResultsModel::TimeColumn, Qt::DisplayRole).toString().isEmpty());
    const QString odd = f.Data(2, ResultsModel::NameColumn, Qt::DisplayRole).toString();
    EXPECT_TRUE(odd.startsWith(QStringLiteral("caf\u00E9"))) << odd.toStdString();
    EXPECT_EQ(f.Data(2, 0, ResultsModel::RecordRole).value<void*>(), f.model.RecordAt(2));
    EXPECT_EQ(
        f.model.RowRecords(),
        (std::vector<CFileItem*>{f.model.RecordAt(0), f.model.RecordAt(1), f.model.RecordAt(2)}));
}

TEST(ResultsModel, SortingOrdersByMeaningAndKeepsRowIndexMarksAndChecksInStep) {
    Filled f({{"b.txt", 9, "AAAAAAAA", 300},
              {"A.txt", 9, "AAAAAAAA", 100},
              {"c.txt", 10, "BBBBBBBB", 200},
              {"a2.txt", 10, "BBBBBBBB", 400},
              {"Z.txt", 100, "CCCCCCCC", 50},
              {"y.txt", 100, "CCCCCCCC", 60}});
    // The user checked A.txt, and c.txt was deleted and struck.
    f.model.SetChecked(1, true);
    f.model.RecordAt(2)->deleted = 1;
    f.model.SetRowStruck(2);
    const CFileItem* checked = f.model.RecordAt(1);

    struct Case {
        int column;
        Qt::SortOrder order;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {ResultsModel::SizeColumn,
         Qt::DescendingOrder,
         {"Z.txt", "y.txt", "c.txt", "a2.txt", "b.txt", "A.txt"}},
        {ResultsModel::NameColumn,
         Qt::AscendingOrder,
         {"A.txt", "a2.txt", "b.txt", "c.txt", "y.txt", "Z.txt"}},
        {ResultsModel::TimeColumn,
         Qt::AscendingOrder,
         {"Z.txt", "y.txt", "A.txt", "c.txt", "b.txt", "a2.txt"}},
        {ResultsModel::SizeColumn,
         Qt::AscendingOrder,  // ties keep the order they had
         {"A.txt", "b.txt", "c.txt", "a2.txt", "Z.txt", "y.txt"}},
        {ResultsModel::GroupColumn,
         Qt::DescendingOrder,
         {"Z.txt", "y.txt", "c.txt", "a2.txt", "A.txt", "b.txt"}},
        {ResultsModel::PathColumn,
         Qt::DescendingOrder,
         {"Z.txt", "y.txt", "c.txt", "b.txt", "a2.txt", "A.txt"}},
    };
    for (const Case& c : cases) {
        f.model.sort(c.column, c.order);
        EXPECT_EQ(f.Names(), c.names) << "column " << c.column;
        f.ExpectConsistent();
        EXPECT_TRUE(f.model.IsChecked(checked->rowIndex));
        EXPECT_EQ(f.model.CheckedRecords(),
                  std::vector<CFileItem*>{f.model.RecordAt(checked->rowIndex)});
    }
}

TEST(ResultsModel, SortingCarriesTheSelectionWithItsRows) {
    Filled f({{"b", 2, "00000002", 1}, {"a", 1, "00000001", 2}, {"c", 3, "00000003", 3}});
    QItemSelectionModel selection(&f.model);
    selection.select(f.model.index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    f.model.sort(ResultsModel::NameColumn, Qt::AscendingOrder);
    ASSERT_EQ(selection.selectedRows().size(), 1);
    EXPECT_EQ(f.Name(selection.selectedRows().front().row()), "b");
}

TEST(ResultsModel, RemovingRowsThenRestripingRealternatesTheGroupsLeft) {
    Filled f({{"a1", 1, "AAAAAAAA", 1},
              {"a2", 1, "AAAAAAAA", 1},
              {"b1", 2, "BBBBBBBB", 1},
              {"b2", 2, "BBBBBBBB", 1},
              {"c1", 3, "CCCCCCCC", 1},
              {"c2", 3, "CCCCCCCC", 1}});
    f.model.RecordAt(5)->deleted = 1;
    std::vector<int> seen;
    f.model.RemoveRowsWhere([&](int row, CFileItem& record) {
        seen.push_back(row);
        const bool gone = record.groupKey.rfind("1", 0) == 0 || record.name() == "b2";
        if (gone) {
            EXPECT_TRUE(f.set.Remove(&record));
        }
        return gone;
    });
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(f.Names(), (std::vector<std::string>{"b1", "c1", "c2"}));
    f.model.RestripeGroups();
    f.ExpectConsistent();
    EXPECT_FALSE(f.model.IsRowShaded(0)) << "the first group left is unshaded";
    EXPECT_EQ(f.set.size(), 3u);
}

// The live filling shades batch by batch; a batch continues the group the last one ended in.
TEST(ResultsModel, ShadingAppendedRowsCarriesOnAcrossBatchesUntilRestarted) {
    ResultSet set;
    ResultsModel model;
    const auto append = [&](std::initializer_list<const char*> keys) {
        const int first = model.rowCount();
        for (const char* key : keys) {
            CFileItem item;
            item.groupKey = key;
            model.AppendRecord(set.Add(std::move(item)));
        }
        model.ShadeAppendedRows(first);
    };
    const auto shading = [&] {
        std::vector<bool> marks;
        for (int row = 0; row < model.rowCount(); ++row) {
            marks.push_back(model.IsRowShaded(row));
        }
        return marks;
    };

    append({"1AA", "1AA", "2BB"});
    append({"2bb", "3CC"});  // the same key in other case stays in its group
    EXPECT_EQ(shading(), (std::vector<bool>{false, false, true, true, false}));

    model.RestartShading();
    append({"3CC"});  // a restart begins a new group even on an equal key
    EXPECT_FALSE(model.IsRowShaded(5));
    // A full restripe takes no notice of where the filling restarted.
    model.RestripeGroups();
    EXPECT_EQ(shading(), (std::vector<bool>{false, false, true, true, false, false}));

    model.Clear();
    append({"4DD", "5EE"});
    EXPECT_EQ(shading(), (std::vector<bool>{false, true})) << "clearing restarts the shading";
}

TEST(ResultsModel, CheckMarksByUserAndByRule) {
    Filled f({{"a", 1, "A", 1}, {"b", 1, "A", 1}, {"c", 1, "A", 1}});
    ASSERT_TRUE(f.model.flags(f.model.index(0, 0)) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(f.model.flags(f.model.index(0, 1)) & Qt::ItemIsUserCheckable);
    EXPECT_TRUE(f.model.setData(f.model.index(1, 0), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(f.Data(1, 0, Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Checked);
    f.model.SetAllChecked([](int, bool checked) { return !checked; });
    EXPECT_EQ(f.model.CheckedRecords(),
              (std::vector<CFileItem*>{f.model.RecordAt(0), f.model.RecordAt(2)}));

    // Several rows at once: one change spanning the rows that changed; unknown rows skipped.
    QSignalSpy changes(&f.model, &QAbstractItemModel::dataChanged);
    const int rows[] = {2, 1, 99, -1};
    f.model.SetRowsChecked(rows, true);
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes[0][0].toModelIndex().row(), 1);
    EXPECT_EQ(changes[0][1].toModelIndex().row(), 1) << "row 2 was checked already";
    EXPECT_EQ(f.model.CheckedRecords().size(), 3u);
}

}  // namespace
}  // namespace krelix
