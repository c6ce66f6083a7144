#include "operations/rename/file_rename.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "operations/files/file_operations.h"
#include "support/listed_record.h"
#include "support/temp_tree.h"

namespace krelix {
namespace {

using test::TempTree;

// The record a search would list for the file now (a bare one when there is no file).
CFileItem Record(const TempTree& tree, const std::string& relative) {
    if (tree.Exists(relative)) {
        return test::ListedRecord(tree.Path(relative), "5ABCDEF01");
    }
    CFileItem item;
    item.path = tree.Path(relative);
    item.groupKey = "5ABCDEF01";
    return item;
}

BulkRenamer::Sources FixedSources() {
    return {[] { return std::optional<std::uint32_t>(42); },
            [] { return std::int64_t{1000000000}; }};
}

TEST(FolderOf, KeepsTheLastSlash) {
    EXPECT_EQ("/a/b/", FolderOf("/a/b/c.txt"));
    EXPECT_EQ("/", FolderOf("/c.txt"));
    EXPECT_EQ("", FolderOf("c.txt"));
}

TEST(RenameRecord, MovesTheFileAndUpdatesTheRecord) {
    TempTree tree;
    tree.AddFile("dir/old.txt", "content");
    CFileItem item = Record(tree, "dir/old.txt");
    item.rowIndex = 3;
    EXPECT_EQ(0, RenameRecord(item, "new name, \"quoted\".txt"));
    EXPECT_EQ("new name, \"quoted\".txt", item.name());
    EXPECT_EQ(tree.Path("dir/new name, \"quoted\".txt"), item.path);
    EXPECT_EQ(3, item.rowIndex);
    EXPECT_EQ("5ABCDEF01", item.groupKey);
    EXPECT_FALSE(tree.Exists("dir/old.txt"));
    EXPECT_EQ("content", tree.Read("dir/new name, \"quoted\".txt"));
}

// Only the file compared is renamed, and the renamed record is still that file for the next
// command, although the rename moved its status-change time.
TEST(RenameRecord, RenamesOnlyTheFileComparedAndKeepsItsRecordValid) {
    TempTree tree;
    tree.AddFile("dir/edited.txt", "content");
    CFileItem edited = Record(tree, "dir/edited.txt");
    tree.EditKeepingModifiedTime("dir/edited.txt", "CONTENT");
    EXPECT_EQ(kFileChanged, RenameRecord(edited, "new.txt"));
    EXPECT_EQ("CONTENT", tree.Read("dir/edited.txt"));
    EXPECT_FALSE(tree.Exists("dir/new.txt"));

    tree.AddFile("dir/plain.txt", "content");
    CFileItem plain = Record(tree, "dir/plain.txt");
    ASSERT_EQ(0, RenameRecord(plain, "renamed.txt"));
    EXPECT_EQ(0, CheckListedFile(plain));
    ASSERT_EQ(0, RenameRecord(plain, "again.txt"));
    EXPECT_EQ("content", tree.Read("dir/again.txt"));
    tree.EditKeepingModifiedTime("dir/again.txt", "CONTENT");
    EXPECT_EQ(kFileChanged, CheckListedFile(plain));
}

TEST(RenameRecord, HandlesNamesThatAreNotUtf8) {
    TempTree tree;
    tree.AddFile("caf\xE9.txt", "x");
    CFileItem item = Record(tree, "caf\xE9.txt");
    EXPECT_EQ(0, RenameRecord(item, "\xFF\xFE.txt"));
    EXPECT_EQ("x", tree.Read("\xFF\xFE.txt"));
}

TEST(RenameRecord, FailsWithoutChangingAnything) {
    TempTree tree;
    tree.AddFile("dir/a.txt", "a");
    tree.AddFile("dir/b.txt", "b");
    tree.AddFolder("dir/sub");
    const struct {
        std::string newName;
        int error;
    } cases[] = {
        {"b.txt", EEXIST},
        {"sub", EEXIST},
        {"a.txt", EEXIST},
        {"", EINVAL},
        {".", EINVAL},
        {"..", EINVAL},
        {"sub/a.txt", EINVAL},
        {"../a.txt", EINVAL},
        {std::string("x\0y", 3), EINVAL},
        {std::string(300, 'n'), ENAMETOOLONG},
    };
    for (const auto& c : cases) {
        CFileItem item = Record(tree, "dir/a.txt");
        const CFileItem before = item;
        EXPECT_EQ(c.error, RenameRecord(item, c.newName)) << c.newName;
        EXPECT_EQ(before.path, item.path);
        EXPECT_EQ(before.name(), item.name());
    }
    EXPECT_EQ("a", tree.Read("dir/a.txt"));
    EXPECT_EQ("b", tree.Read("dir/b.txt"));
    EXPECT_FALSE(tree.Exists("a.txt"));
    EXPECT_FALSE(tree.Exists("dir/sub/a.txt"));

    CFileItem gone = Record(tree, "dir/gone.txt");
    EXPECT_EQ(ENOENT, RenameRecord(gone, "c.txt"));
}

TEST(MoveNoReplace, LinkFallbackNeverReplaces) {
    TempTree tree;
    tree.AddFile("a", "a");
    tree.AddFile("b", "b");
    EXPECT_EQ(EEXIST, MoveNoReplaceByLink(tree.Path("a"), tree.Path("b")));
    EXPECT_EQ(0, MoveNoReplaceByLink(tree.Path("a"), tree.Path("c")));
    EXPECT_FALSE(tree.Exists("a"));
    EXPECT_EQ("a", tree.Read("c"));
    EXPECT_EQ("b", tree.Read("b"));
    EXPECT_EQ(ENOENT, MoveNoReplaceByLink(tree.Path("a"), tree.Path("d")));
}

// Runs one bulk rename over the records and gives back the failures as
// "old path -> new path: errno".
std::vector<std::string> Bulk(std::vector<CFileItem>& items, const BulkRenameFields& fields,
                              BulkRenamer& renamer, std::vector<std::string>* renamed = nullptr) {
    std::vector<CFileItem*> checked;
    for (CFileItem& item : items) {
        checked.push_back(&item);
    }
    std::vector<std::string> failures;
    BulkRenameCallbacks callbacks;
    callbacks.renamed = [&](CFileItem& item) {
        if (renamed != nullptr) {
            renamed->emplace_back(item.name());
        }
    };
    callbacks.failed = [&](const CFileItem& item, const std::string& newPath, int error) {
        failures.push_back(item.path + " -> " + newPath + ": " + std::to_string(error));
    };
    RenameCheckedFiles(checked, fields, renamer, callbacks);
    return failures;
}

TEST(RenameCheckedFiles, NumbersInOrderAndRestartsEachTime) {
    TempTree tree;
    tree.AddFile("d/a.txt", "a");
    tree.AddFile("d/b.txt", "b");
    tree.AddFile("d/c.doc", "c");
    std::vector<CFileItem> items = {Record(tree, "d/a.txt"), Record(tree, "d/b.txt"),
                                    Record(tree, "d/c.doc")};
    BulkRenamer renamer(FixedSources());
    BulkRenameFields fields;
    fields.parameterIncluded = true;
    std::vector<std::string> renamed;
    EXPECT_TRUE(Bulk(items, fields, renamer, &renamed).empty());
    EXPECT_EQ((std::vector<std::string>{"1.txt", "2.txt", "3.doc"}), renamed);
    EXPECT_EQ("a", tree.Read("d/1.txt"));
    EXPECT_EQ("b", tree.Read("d/2.txt"));
    EXPECT_EQ("c", tree.Read("d/3.doc"));

    fields.prefixIncluded = true;
    fields.prefix = "n";
    renamed.clear();
    EXPECT_TRUE(Bulk(items, fields, renamer, &renamed).empty());
    EXPECT_EQ((std::vector<std::string>{"n1.txt", "n2.txt", "n3.doc"}), renamed);
    EXPECT_EQ(tree.Path("d/n3.doc"), items[2].path);
}

TEST(RenameCheckedFiles, SkipsDeletedRecordsWithoutCountingThem) {
    TempTree tree;
    tree.AddFile("a.txt", "a");
    tree.AddFile("b.txt", "b");
    std::vector<CFileItem> items = {Record(tree, "gone.txt"), Record(tree, "a.txt"),
                                    Record(tree, "b.txt")};
    items[0].deleted = 1;
    items[2].deleted = 1;
    BulkRenamer renamer(FixedSources());
    BulkRenameFields fields;
    fields.parameterIncluded = true;
    EXPECT_TRUE(Bulk(items, fields, renamer).empty());
    EXPECT_EQ("a", tree.Read("1.txt"));
    EXPECT_EQ("b", tree.Read("b.txt"));
    EXPECT_EQ(tree.Path("gone.txt"), items[0].path);
}

TEST(RenameCheckedFiles, SameNameCollidesInOneFolderOnly) {
    TempTree tree;
    tree.AddFile("one/a.jpg", "1a");
    tree.AddFile("one/b.jpg", "1b");
    tree.AddFile("two/c.jpg", "2c");
    std::vector<CFileItem> items = {Record(tree, "one/a.jpg"), Record(tree, "one/b.jpg"),
                                    Record(tree, "two/c.jpg")};
    BulkRenamer renamer(FixedSources());
    BulkRenameFields fields;
    fields.parameterIncluded = true;
    fields.parameterKind = ParameterKind::Date;
    const std::string date = FormatLocalTime(1000000000, "%Y%m%d");
    const std::vector<std::string> failures = Bulk(items, fields, renamer);
    ASSERT_EQ(1u, failures.size());
    EXPECT_EQ(tree.Path("one/b.jpg") + " -> " + tree.Path("one/" + date + ".jpg") + ": " +
                  std::to_string(EEXIST),
              failures[0]);
    EXPECT_EQ("1a", tree.Read("one/" + date + ".jpg"));
    EXPECT_EQ("1b", tree.Read("one/b.jpg"));
    EXPECT_EQ("2c", tree.Read("two/" + date + ".jpg"));
    EXPECT_EQ("b.jpg", items[1].name());
}

TEST(RenameCheckedFiles, StarredExtensionServesEveryFile) {
    TempTree tree;
    tree.AddFile("photo.jpg", "p");
    tree.AddFile("notes.txt", "n");
    std::vector<CFileItem> items = {Record(tree, "photo.jpg"), Record(tree, "notes.txt")};
    BulkRenamer renamer(FixedSources());
    BulkRenameFields fields;
    fields.prefixIncluded = true;
    fields.prefix = "x_";
    fields.fileNameIncluded = true;
    fields.extensionChoice = ExtensionChoice::Custom;
    fields.customExtension = "*.bak";
    EXPECT_TRUE(Bulk(items, fields, renamer).empty());
    EXPECT_EQ("p", tree.Read("x_photo.bak"));
    EXPECT_EQ("n", tree.Read("x_notes.bak"));
}

TEST(RenameCheckedFiles, ASlashInThePrefixFailsInsteadOfMovingTheFile) {
    TempTree tree;
    tree.AddFile("a.txt", "a");
    tree.AddFolder("sub");
    std::vector<CFileItem> items = {Record(tree, "a.txt")};
    BulkRenamer renamer(FixedSources());
    BulkRenameFields fields;
    fields.prefixIncluded = true;
    fields.prefix = "sub/";
    fields.fileNameIncluded = true;
    EXPECT_EQ(1u, Bulk(items, fields, renamer).size());
    EXPECT_EQ("a", tree.Read("a.txt"));
    EXPECT_FALSE(tree.Exists("sub/a.txt"));
}

}  // namespace
}  // namespace krelix
