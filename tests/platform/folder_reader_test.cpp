#include "platform/folder_reader.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <map>

#include "support/temp_tree.h"

namespace krelix {
namespace {

using test::TempTree;

std::map<std::string, DirEntry> ReadAll(const std::string& folder,
                                        FolderReader::Links links = FolderReader::Links::Follow) {
    std::map<std::string, DirEntry> entries;
    FolderReader reader;
    EXPECT_TRUE(reader.Open(folder, links)) << folder;
    DirEntry entry;
    while (reader.Next(entry)) {
        entries[entry.name] = entry;
    }
    return entries;
}

TEST(FolderReader, DeliversTheEntryDataOfEveryKind) {
    TempTree tree;
    const std::int64_t before = std::time(nullptr);
    tree.AddFile("plain.txt", "12345");
    tree.AddFile(".hidden", "");
    tree.AddSparseFile("big.bin", 5ull << 30);
    tree.SetModifiedTime("plain.txt", 1'000'000'000);
    tree.AddFolder("sub");
    tree.AddFolder(".hidden-folder");
    tree.AddSymlink("link-to-sub", tree.Path("sub"));
    tree.AddFifo("pipe");
    const std::int64_t after = std::time(nullptr);

    const auto entries = ReadAll(tree.root());
    ASSERT_EQ(7u, entries.size());  // no "." or ".."

    const DirEntry& plain = entries.at("plain.txt");
    EXPECT_EQ(EntryKind::Regular, plain.kind);
    EXPECT_EQ(tree.root() + "plain.txt", plain.fullPath);
    EXPECT_EQ(5u, plain.size);
    EXPECT_EQ(0u, plain.attributes);
    EXPECT_EQ(1'000'000'000, plain.modified);
    EXPECT_GE(plain.created, before);
    EXPECT_LE(plain.created, after);
    struct stat status {};
    ASSERT_EQ(0, ::lstat(plain.fullPath.c_str(), &status));
    EXPECT_EQ(static_cast<std::uint64_t>(status.st_dev), plain.identity.device);
    EXPECT_EQ(static_cast<std::uint64_t>(status.st_ino), plain.identity.inode);
    EXPECT_EQ(static_cast<std::int64_t>(status.st_atime), plain.accessed);

    EXPECT_EQ(5ull << 30, entries.at("big.bin").size);
    EXPECT_EQ(ATTRIBUTE_HIDDEN, entries.at(".hidden").attributes);
    EXPECT_EQ(EntryKind::Folder, entries.at("sub").kind);
    EXPECT_TRUE(entries.at(".hidden-folder").IsFolder());
    EXPECT_TRUE(entries.at(".hidden-folder").Has(ATTRIBUTE_HIDDEN));
    EXPECT_EQ(EntryKind::Symlink, entries.at("link-to-sub").kind);
    EXPECT_EQ(EntryKind::Other, entries.at("pipe").kind);
}

TEST(FolderReader, LeavesOutEntriesThatVanishAfterTheFolderWasRead) {
    TempTree tree;
    for (const char* name : {"a", "b", "c", "d"}) {
        tree.AddFile(name, "x");
    }
    FolderReader reader;
    ASSERT_TRUE(reader.Open(tree.root(), FolderReader::Links::Follow));
    DirEntry first;
    ASSERT_TRUE(reader.Next(first));  // the names of the small folder are read in one go now
    for (const char* name : {"a", "b", "c", "d"}) {
        if (first.name != name) {
            ASSERT_EQ(0, ::unlink(tree.Path(name).c_str()));
        }
    }
    DirEntry entry;
    EXPECT_FALSE(reader.Next(entry));
}

TEST(FolderReader, RefusesWhatCannotBeWalked) {
    TempTree tree;
    tree.AddFile("file", "x");
    tree.AddFolder("real");
    tree.AddSymlink("link", tree.Path("real"));
    tree.AddFifo("pipe");
    FolderReader reader;
    EXPECT_FALSE(reader.Open(tree.Path("missing/"), FolderReader::Links::Follow));
    EXPECT_FALSE(reader.Open(tree.Path("file/"), FolderReader::Links::Follow));
    EXPECT_FALSE(reader.Open(tree.Path("pipe/"), FolderReader::Links::Follow));  // never blocks
    EXPECT_FALSE(reader.Open(tree.Path("link/"), FolderReader::Links::DoNotFollow));
    EXPECT_TRUE(reader.Open(tree.Path("link/"), FolderReader::Links::Follow));
    EXPECT_FALSE(
        reader.Open(tree.Path("") + std::string(5000, 'x') + "/", FolderReader::Links::Follow));
}

TEST(FolderReader, DoesNotCountSocketsAsFiles) {
    TempTree tree;
    const std::string path = tree.Path("sock");
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof(address.sun_path));
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(0, ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)));
    ::close(fd);
    EXPECT_EQ(EntryKind::Other, ReadAll(tree.root()).at("sock").kind);
}

TEST(QueryFolderAttributes, HiddenByTheLastNameOnly) {
    TempTree tree;
    tree.AddFolder(".dot/plain");
    std::uint32_t attributes = 0;
    ASSERT_TRUE(QueryFolderAttributes(tree.Path(".dot/"), attributes));
    EXPECT_EQ(ATTRIBUTE_HIDDEN, attributes);
    ASSERT_TRUE(QueryFolderAttributes(tree.Path(".dot"), attributes));
    EXPECT_EQ(ATTRIBUTE_HIDDEN, attributes);
    ASSERT_TRUE(QueryFolderAttributes(tree.Path(".dot/plain/"), attributes));
    EXPECT_EQ(0u, attributes);
    ASSERT_TRUE(QueryFolderAttributes("/", attributes));
    EXPECT_EQ(0u, attributes);
    EXPECT_FALSE(QueryFolderAttributes(tree.Path("missing/"), attributes));
}

}  // namespace
}  // namespace krelix
