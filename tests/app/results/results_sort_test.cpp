#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "app/results/result_set.h"
#include "app/results/results_model.h"
#include "common/ui/file_name_text.h"

namespace krelix {
namespace {

// The plain order the list promises: each row's text decoded and folded, compared at every step
// by a stable sort; "Dup. Group" by size, then the key's bytes.
std::vector<CFileItem*> PlainOrder(std::vector<CFileItem*> rows, int column,
                                   Qt::SortOrder direction) {
    const auto text = [column](const CFileItem* r) {
        return DecodeFileName(column == ResultsModel::NameColumn ? r->name()
                                                                 : std::string_view(r->path))
            .toCaseFolded();
    };
    const auto size = [](const CFileItem* r) { return std::stoull("0" + r->groupKey); };
    const auto less = [&](const CFileItem* a, const CFileItem* b) {
        switch (column) {
            case ResultsModel::GroupColumn:
                return size(a) != size(b) ? size(a) < size(b) : a->groupKey < b->groupKey;
            case ResultsModel::SizeColumn:
                return a->size < b->size;
            case ResultsModel::TimeColumn:
                return a->modified < b->modified;
            default:
                return text(a) < text(b);
        }
    };
    if (direction == Qt::AscendingOrder) {
        std::stable_sort(rows.begin(), rows.end(), less);
    } else {
        std::stable_sort(rows.begin(), rows.end(),
                         [&](const CFileItem* a, const CFileItem* b) { return less(b, a); });
    }
    return rows;
}

// Rows of random names in random folders (every 37th row, with oddPaths, in a path that does not
// end in its name), sorted by every column both ways, against the plain order.
void ExpectPlainOrderOfEveryColumn(const std::vector<std::string>& names,
                                   const std::vector<std::string>& folders, bool oddPaths) {
    std::mt19937 random(7);
    const auto pick = [&](std::size_t count) { return random() % count; };

    ResultSet set;
    std::vector<CFileItem*> initial;
    for (int i = 0; i < 600; ++i) {
        CFileItem item;
        item.path = folders[pick(folders.size())] + names[pick(names.size())];
        if (oddPaths && i % 37 == 0) {
            item.path = "/odd/" + names[pick(names.size())];  // not this name's path
        }
        item.size = pick(4) * 9 + 1;
        item.groupKey = std::to_string(item.size) + (pick(2) ? "ABCDEF01" : "abcdef01");
        if (i % 11 == 0) {
            item.groupKey = std::to_string(item.size * 10) + "00000000";
        }
        item.modified = static_cast<std::int64_t>(pick(5)) - 2;
        initial.push_back(set.Add(std::move(item)));
    }

    for (int column = 0; column < ResultsModel::ColumnCount; ++column) {
        for (const Qt::SortOrder direction : {Qt::AscendingOrder, Qt::DescendingOrder}) {
            ResultsModel model;
            model.AppendRecords(initial);
            model.sort(column, direction);
            EXPECT_EQ(model.RowRecords(), PlainOrder(initial, column, direction))
                << "column " << column << " direction " << direction;
            // Sorting a sorted list again keeps it as it is, ties included.
            const std::vector<CFileItem*> once = model.RowRecords();
            model.sort(column, direction);
            EXPECT_EQ(model.RowRecords(), once) << "column " << column;
        }
    }
}

TEST(ResultsSort, EveryColumnGivesThePlainOrderOnAwkwardTexts) {
    // Mixed case, letters that fold to others (long s, final sigma, sharp s), characters beyond
    // 16 bits (their UTF-16 order differs from their code points'), bytes that are not UTF-8,
    // equal names, folders that start other folders, and paths that do not end in the name.
    const std::vector<std::string> names = {"a.txt",
                                            "A.TXT",
                                            "b",
                                            "B",
                                            "\xc3\xa4pfel",
                                            "\xc3\x84PFEL",
                                            "s",
                                            "\xc5\xbf",
                                            "\xcf\x83",
                                            "\xcf\x82",
                                            "\xce\xa3",
                                            "stra\xc3\x9f"
                                            "e",
                                            "STRASSE",
                                            "\xff",
                                            "\xfe\xff",
                                            "a\xe2\x82",
                                            "a\xe2",
                                            "\xf0\x9f\x98\x80",
                                            "\xef\xbd\x9e",
                                            "z",
                                            "a b",
                                            "a",
                                            "ab",
                                            "a.b",
                                            "a-b",
                                            "a\xc3",
                                            "",
                                            std::string("x\0y", 3)};
    const std::vector<std::string> folders = {"/d/",      "/d/a/",    "/d/A/",   "/d/ab/",
                                              "/d/a b/",  "/d/a.b/",  "/D/",     "/",
                                              "/d/\xff/", "/d/\xc3/", "/e/a/b/", "/e/"};
    ExpectPlainOrderOfEveryColumn(names, folders, /*oddPaths=*/true);
}

TEST(ResultsSort, PathsEndingInTheirNamesKeepThePlainOrderAcrossNestedFolders) {
    // Every path is its folder and its name, so paths are ordered without comparing them: names
    // with characters before '/' (" ", "!", "-", ".") against subfolders of the same start, deep
    // folders, folders that differ only in case, and texts beyond ASCII.
    const std::vector<std::string> names = {"a",
                                            "A",
                                            "a!",
                                            "a-b",
                                            "a.b",
                                            "a b",
                                            "a0",
                                            "ab",
                                            "b",
                                            "B.",
                                            "z",
                                            "~",
                                            "\xc3\xa4",
                                            "\xc3\x84x",
                                            "\xff",
                                            "a\xc3",
                                            "\xf0\x9f\x98\x80",
                                            "\xef\xbd\x9e"};
    const std::vector<std::string> folders = {"/",
                                              "/a/",
                                              "/A/",
                                              "/a/b/",
                                              "/a/b/c/",
                                              "/a/B/c/",
                                              "/a b/",
                                              "/a!/",
                                              "/a-/",
                                              "/a./",
                                              "/a/a/",
                                              "/a/a!/",
                                              "/ab/",
                                              "/a0/",
                                              "/b/",
                                              "/\xc3\xa4/",
                                              "/\xc3\x84/b/",
                                              "/\xff/",
                                              "/a/\xf0\x9f\x98\x80/",
                                              "/~/"};
    ExpectPlainOrderOfEveryColumn(names, folders, /*oddPaths=*/false);
}

TEST(ResultsSort, ARowChangedSinceTheLastSortIsSortedAgain) {
    // The same column and order again is a sort already done, until a row or a record changes.
    ResultSet set;
    std::vector<CFileItem*> records;
    for (const char* name : {"b", "c", "d"}) {
        CFileItem item;
        item.path = std::string("/f/") + name;
        records.push_back(set.Add(std::move(item)));
    }
    ResultsModel model;
    model.AppendRecords(records);
    model.sort(ResultsModel::NameColumn, Qt::AscendingOrder);
    records[2]->path = "/f/a";
    model.RefreshRow(records[2]->rowIndex);
    model.sort(ResultsModel::NameColumn, Qt::AscendingOrder);
    EXPECT_EQ(model.RowRecords(), (std::vector<CFileItem*>{records[2], records[0], records[1]}));

    CFileItem late;
    late.path = "/f/0";
    model.AppendRecord(set.Add(std::move(late)));
    model.sort(ResultsModel::NameColumn, Qt::AscendingOrder);
    EXPECT_EQ(model.RecordAt(0)->name(), "0");
}

}  // namespace
}  // namespace krelix
