#include <gtest/gtest.h>

#include <QFile>
#include <algorithm>
#include <random>

#include "app/result_set.h"
#include "app/results_model.h"

namespace krelix {
namespace {

// The plain order the list promises: each row's text decoded and folded, compared at every step
// by a stable sort; "Dup. Group" by size, then the key's bytes.
std::vector<CFileItem*> PlainOrder(std::vector<CFileItem*> rows, int column,
                                   Qt::SortOrder direction) {
    const auto text = [column](const CFileItem* r) {
        return QFile::decodeName((column == ResultsModel::NameColumn ? r->name : r->path).c_str())
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
    std::mt19937 random(7);
    const auto pick = [&](std::size_t count) { return random() % count; };

    ResultSet set;
    std::vector<CFileItem*> initial;
    for (int i = 0; i < 600; ++i) {
        CFileItem item;
        item.name = names[pick(names.size())];
        item.path = folders[pick(folders.size())] + item.name;
        if (i % 37 == 0) {
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

}  // namespace
}  // namespace krelix
