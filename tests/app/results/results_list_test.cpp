#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>

#include "app/results/mfc_list_ctrl_ex.h"
#include "app/results/results_column_widths.h"
#include "app/state/krelix_dlg_model.h"
#include "app/window/krelix_dlg.h"
#include "support/fake_prompts.h"
#include "support/temp_tree.h"

namespace krelix {
namespace {

using C = ResultsModel::Column;

// The window test below covers the usual widths; these are the edges it does not reach.
TEST(FitResultColumns, ShortNamesStayShortAndNarrowListsKeepAFloor) {
    const ColumnWidths shortName = FitResultColumns({150, 60, 400, 80, 280}, 750, 50);
    EXPECT_EQ(shortName[C::NameColumn], 60) << "the path's spare room stays with the path";
    EXPECT_EQ(shortName[C::PathColumn], 180);

    const ColumnWidths narrow = FitResultColumns({150, 120, 400, 80, 280}, 500, 50);
    EXPECT_EQ(narrow[C::NameColumn], 50);
    EXPECT_EQ(narrow[C::PathColumn], 50);
    EXPECT_EQ(narrow[C::TimeColumn], 280) << "dates stay whole; the list scrolls instead";
}

class ResultsListTest : public ::testing::Test {
  protected:
    ResultsListTest() : model(tree.Path("settings.dat")), window(model, prompts, {}) {
        window.show();
        QApplication::processEvents();
    }

    // Groups as a search of a home folder lists them: long keys, sizes up to gigabytes.
    void AddRealisticRows() {
        struct Seed {
            const char* path;
            std::uint64_t size;
            const char* crc;
        };
        const Seed seeds[] = {
            {"/home/alexandra/Pictures/2023 Summer/Camera/IMG_20230812_181502.jpg", 4718592,
             "9F3A0C1B"},
            {"/home/alexandra/Backup/phone/DCIM/Camera/IMG_20230812_181502.jpg", 4718592,
             "9F3A0C1B"},
            {"/home/alexandra/Videos/Family/2022-12-24 Christmas evening.mp4", 3145728000,
             "ABCDEF01"},
            {"/home/alexandra/Backup/Videos/Family/2022-12-24 Christmas evening.mp4", 3145728000,
             "ABCDEF01"},
            {"/home/alexandra/Documents/Work/Quarterly report 2023-Q3 final.pdf", 1234567,
             "00C0FFEE"},
            {"/home/alexandra/Downloads/Quarterly report 2023-Q3 final.pdf", 1234567, "00C0FFEE"},
            {"/home/alexandra/Music/Live recordings/song - live version.mp3", 8812345, "7E5D3C2B"},
            {"/home/alexandra/Backup/Music/Live recordings/song - live version.mp3", 8812345,
             "7E5D3C2B"},
        };
        std::vector<CFileItem*> rows;
        std::int64_t time = 1695858000;  // late September: long month and weekday names
        for (const Seed& seed : seeds) {
            CFileItem item;
            item.path = seed.path;
            item.size = seed.size;
            item.groupKey = std::to_string(item.size) + seed.crc;
            item.modified = time += 86400 + 3600;
            rows.push_back(model.results().Add(item));
        }
        model.rows().AppendRecords(rows);
        model.rows().RestripeGroups();
        QApplication::processEvents();
    }

    CMFCListCtrlEx& List() { return *window.resultsList(); }

    test::TempTree tree;
    test::FakePrompts prompts;
    KrelixDlgModel model;
    CKrelixDlg window;
};

TEST_F(ResultsListTest, EveryColumnFitsTheDefaultWindowAndWidensWithIt) {
    ASSERT_EQ(window.size(), QSize(776, 532));
    AddRealisticRows();
    CMFCListCtrlEx& list = List();
    QHeaderView* header = list.horizontalHeader();
    const int viewportWidth = list.viewport()->width();
    const QFontMetrics metrics = list.fontMetrics();
    std::vector<int> before;
    for (int column = 0; column < ResultsModel::ColumnCount; ++column) {
        const int left = header->sectionViewportPosition(column);
        EXPECT_GE(left, 0) << column;
        EXPECT_LE(left + header->sectionSize(column), viewportWidth) << column;
        before.push_back(header->sectionSize(column));
    }
    EXPECT_FALSE(list.horizontalScrollBar()->isVisible());
    EXPECT_EQ(list.horizontalScrollBar()->maximum(), 0);
    // Keys, sizes and dates are never cut.
    for (const int column : {C::GroupColumn, C::SizeColumn, C::TimeColumn}) {
        for (int row = 0; row < model.rows().rowCount(); ++row) {
            const QString text = model.rows().index(row, column).data().toString();
            EXPECT_GT(header->sectionSize(column), metrics.horizontalAdvance(text))
                << text.toStdString();
        }
    }
    EXPECT_GE(header->sectionSize(C::GroupColumn), list.wantedWidths()[C::GroupColumn]);

    window.resize(1400, 900);
    QApplication::processEvents();
    EXPECT_GT(header->sectionSize(C::PathColumn), before[C::PathColumn] + 400);
    for (int column = 0; column < ResultsModel::ColumnCount; ++column) {
        EXPECT_GE(header->sectionSize(column), before[static_cast<std::size_t>(column)]);
        EXPECT_LE(header->sectionViewportPosition(column) + header->sectionSize(column),
                  list.viewport()->width());
    }

    // Cleared results forget their widths: short texts get back to header-sized columns.
    model.rows().Clear();
    QApplication::processEvents();
    EXPECT_LT(list.wantedWidths()[C::GroupColumn], before[C::GroupColumn]);
}

// Space checks what is selected from any column, after the focused row's mark.
TEST_F(ResultsListTest, SpaceTogglesEverySelectedRowFromAnyColumn) {
    AddRealisticRows();
    CMFCListCtrlEx& list = List();
    ResultsModel& rows = model.rows();
    list.setFocus();
    const auto select = [&](int top, int bottom, int focusRow, int focusColumn) {
        list.setCurrentIndex(rows.index(focusRow, focusColumn));
        list.selectionModel()->select(
            QItemSelection(rows.index(top, 0), rows.index(bottom, C::TimeColumn)),
            QItemSelectionModel::ClearAndSelect);
    };
    const auto checks = [&] {
        std::vector<bool> marks;
        for (int row = 0; row < rows.rowCount(); ++row) {
            marks.push_back(rows.IsChecked(row));
        }
        return marks;
    };

    select(2, 4, 3, C::PathColumn);
    QTest::keyClick(&list, Qt::Key_Space);
    EXPECT_EQ(checks(), (std::vector<bool>{false, false, true, true, true, false, false, false}));
    QTest::keyClick(&list, Qt::Key_Space);
    EXPECT_EQ(checks(), std::vector<bool>(8, false));

    // A mixed selection follows the focused row: checked there, so all become unchecked.
    rows.SetChecked(5, true);
    rows.SetChecked(6, true);
    select(4, 6, 6, C::SizeColumn);
    QTest::keyClick(&list, Qt::Key_Space);
    EXPECT_EQ(checks(), std::vector<bool>(8, false));
    select(4, 6, 4, C::GroupColumn);
    QTest::keyClick(&list, Qt::Key_Space);
    EXPECT_EQ(checks(), (std::vector<bool>{false, false, false, false, true, true, true, false}));
}

}  // namespace
}  // namespace krelix
