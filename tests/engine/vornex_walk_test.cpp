#include <gtest/gtest.h>

#include <functional>

#include "engine/search_flags.h"
#include "walk_fixture.h"

namespace krelix::test {
namespace {

// Each option bit on its own: the same tree walked with the bit clear and with it set.
TEST_F(WalkTest, EachOptionBitRemovesOnlyWhatItNames) {
    struct Case {
        const char* name;
        std::uint32_t flag;
        std::function<void(TempTree&, SkipFolders&)> build;
        Paths whenClear;
        Paths whenSet;
    };
    const Case cases[] = {
        {"SEARCH_SUBDIRS",
         SEARCH_SUBDIRS,
         [](TempTree& t, SkipFolders&) {
             t.AddFile("top", "1");
             t.AddFile("sub/deep", "2");
         },
         {"top"},
         {"sub/deep", "top"}},
        {"SKIP_TEMP_FILES",
         SKIP_TEMP_FILES,
         [](TempTree& t, SkipFolders& s) {
             t.AddFile("keep", "1");
             t.AddFile("tmp/a", "2");
             t.AddFile("cache/in/b", "3");
             s.temporary = {t.Path("tmp/")};
             s.internetCache = {t.Path("nothing/"), t.Path("cache/")};
         },
         {"cache/in/b", "keep", "tmp/a"},
         {"keep"}},
        {"SKIP_SYSTEM_FILES",
         SKIP_SYSTEM_FILES,
         [](TempTree& t, SkipFolders& s) {
             t.AddFile("keep", "1");
             t.AddFile("sys/a", "2");
             t.AddFile("system/b", "3");  // begins with the text "sys" but not "sys/"
             s.system = {t.Path("sys/")};
         },
         {"keep", "sys/a", "system/b"},
         {"keep", "system/b"}},
        {"SKIP_WINDOWS_FOLDER",
         SKIP_WINDOWS_FOLDER,
         [](TempTree& t, SkipFolders& s) {
             t.AddFile("keep", "1");
             t.AddFile("usr/a", "2");
             t.AddFile("etc/b", "3");
             s.windows = {t.Path("usr/"), t.Path("etc/")};
         },
         {"etc/b", "keep", "usr/a"},
         {"keep"}},
        {"SKIP_APP_FOLDERS",
         SKIP_APP_FOLDERS,
         [](TempTree& t, SkipFolders& s) {
             t.AddFile("keep", "1");
             t.AddFile("opt/a", "2");
             t.AddFile("snap/b", "3");
             t.AddFile("varlib/c", "4");
             s.programFiles = {t.Path("opt/")};
             s.programFilesX86 = {t.Path("snap/")};
             s.commonAppData = {t.Path("varlib/")};
         },
         {"keep", "opt/a", "snap/b", "varlib/c"},
         {"keep"}},
        {"SKIP_ZERO_SIZE_FILES",
         SKIP_ZERO_SIZE_FILES,
         [](TempTree& t, SkipFolders&) {
             t.AddFile("keep", "1");
             t.AddFile("empty", "");
         },
         {"empty", "keep"},
         {"keep"}},
        {"SKIP_RECYCLE_BIN",
         SKIP_RECYCLE_BIN,
         [](TempTree& t, SkipFolders& s) {
             t.AddFile("keep", "1");
             t.AddFile("home/.local/share/Trash/files/a", "2");
             t.AddFile("usb/.Trash/b", "3");
             t.AddFile("usb/.Trash-1000/files/c", "4");
             t.AddFile("usb/deeper/.Trash/d", "5");  // not directly inside the mount point
             t.AddFile("usb/.Trash-x/e", "6");       // not a user number
             t.AddFile(".Trash/f", "7");             // the tree's root is no mount point
             s.recycleBin = {t.Path("home/.local/share/Trash/")};
             s.mountPoints = {"/", t.Path("usb/")};
         },
         {".Trash/f", "home/.local/share/Trash/files/a", "keep", "usb/.Trash-1000/files/c",
          "usb/.Trash-x/e", "usb/.Trash/b", "usb/deeper/.Trash/d"},
         {".Trash/f", "keep", "usb/.Trash-x/e", "usb/deeper/.Trash/d"}},
        {"SKIP_HIDDEN_FILES",
         SKIP_HIDDEN_FILES,
         [](TempTree& t, SkipFolders&) {
             t.AddFile("keep", "1");
             t.AddFile(".hidden", "2");
             t.AddFile(".folder/visible", "3");
         },
         {".folder/visible", ".hidden", "keep"},
         {".folder/visible", "keep"}},
        {"SKIP_HIDDEN_FOLDERS",
         SKIP_HIDDEN_FOLDERS,
         [](TempTree& t, SkipFolders&) {
             t.AddFile("keep", "1");
             t.AddFile(".hidden", "2");
             t.AddFile(".folder/visible", "3");
         },
         {".folder/visible", ".hidden", "keep"},
         {".hidden", "keep"}},
        // Nothing on an ordinary Linux file system carries these bits.
        {"SKIP_COMPRESSED_FILES",
         SKIP_COMPRESSED_FILES,
         [](TempTree& t, SkipFolders&) { t.AddFile("keep", "1"); },
         {"keep"},
         {"keep"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NewTree();
        skip = SkipFolders{};
        c.build(tree, skip);
        const std::uint32_t base = c.flag == SEARCH_SUBDIRS ? 0u : std::uint32_t{SEARCH_SUBDIRS};
        EXPECT_EQ(c.whenClear, Walk(base));
        EXPECT_EQ(c.whenSet, Walk(base | c.flag));
    }
}

TEST_F(WalkTest, RecordsTheEntryDataUnderTheSizeText) {
    tree.AddFile("Photo.JPG", "12345");
    tree.AddFile("sub/same", "abcde");
    tree.AddFile("empty", "");
    tree.SetModifiedTime("Photo.JPG", 1'234'567'890);
    Walk(SEARCH_SUBDIRS);
    EXPECT_EQ(3, request.filesScanned);
    EXPECT_EQ(2u, engine->resultMap.count("5"));
    EXPECT_EQ(1u, engine->resultMap.count("0"));
    const auto [first, last] = engine->resultMap.equal_range("5");
    for (auto it = first; it != last; ++it) {
        const CFileItem& item = it->second;
        EXPECT_EQ(5u, item.size);
        EXPECT_TRUE(item.crc().empty() && item.groupKey.empty());
        if (item.name() == "Photo.JPG") {
            EXPECT_EQ(tree.Path("Photo.JPG"), item.path);
            EXPECT_EQ(1'234'567'890, item.modified);
        } else {
            EXPECT_EQ(tree.Path("sub/same"), item.path);
        }
    }
}

TEST_F(WalkTest, SizeBoundsAreInclusiveAndSixtyFourBit) {
    constexpr std::uint64_t kFourGiB = 4ull << 30;
    tree.AddSizedFile("s0", 0);
    tree.AddSizedFile("s9", 9);
    tree.AddSizedFile("s10", 10);
    tree.AddSizedFile("s20", 20);
    tree.AddSizedFile("s21", 21);
    tree.AddSparseFile("g4", kFourGiB);
    tree.AddSparseFile("g4plus", kFourGiB + 1);
    struct Case {
        std::uint64_t min, max;
        Paths expected;
    };
    const Case cases[] = {
        {10, 20, {"s10", "s20"}},
        {0, 0, {"s0"}},
        {kFourGiB + 1, UINT64_MAX, {"g4plus"}},
        {21, kFourGiB, {"g4", "s21"}},
        {0, UINT64_MAX, {"g4", "g4plus", "s0", "s10", "s20", "s21", "s9"}},
    };
    for (const Case& c : cases) {
        request.minSize = c.min;
        request.maxSize = c.max;
        EXPECT_EQ(c.expected, Walk(FILTER_SIZE_RANGE)) << c.min << ".." << c.max;
    }
    request.minSize = 1;  // the bounds count only with FILTER_SIZE_RANGE
    request.maxSize = 1;
    EXPECT_EQ(7u, Walk(0).size());
    EXPECT_EQ(1u, engine->resultMap.count("4294967296"));
    EXPECT_EQ(1u, engine->resultMap.count("4294967297"));
}

TEST_F(WalkTest, IncludePatternsWinOverExcludePatterns) {
    for (const char* name : {"Photo.JPG", "song.mp3", "notes.txt", "ÄRGER.TXT", "bad\xff.TXT"}) {
        tree.AddFile(name, "x");
    }
    struct Case {
        SearchRequest::TextSet include, exclude;
        Paths expected;
    };
    const Case cases[] = {
        {{"*.jpg"}, {}, {"Photo.JPG"}},
        {{"*.mp3"}, {"*.mp3"}, {"song.mp3"}},
        {{}, {"*.txt"}, {"Photo.JPG", "song.mp3"}},
        {{"ä*", "*.mp3"}, {}, {"song.mp3", "ÄRGER.TXT"}},
        {{"bad?.txt"}, {}, {"bad\xff.TXT"}},
        {{}, {}, {"Photo.JPG", "bad\xff.TXT", "notes.txt", "song.mp3", "ÄRGER.TXT"}},
    };
    for (const Case& c : cases) {
        request.includePatterns = c.include;
        request.excludePatterns = c.exclude;
        EXPECT_EQ(c.expected, Walk(SEARCH_SUBDIRS));
    }
}

TEST_F(WalkTest, ExcludesFoldersByExactText) {
    tree.AddFile("a/in-a", "1");
    tree.AddFile("a/b/in-b", "2");
    tree.AddFile("A2/x", "3");
    struct Case {
        std::string exclude;
        Paths expected;
    };
    const Case cases[] = {
        {"a/", {"A2/x"}},
        {"a", {"A2/x", "a/b/in-b", "a/in-a"}},   // no trailing "/": another text
        {"A/", {"A2/x", "a/b/in-b", "a/in-a"}},  // case is kept
        {"a/b/", {"A2/x", "a/in-a"}},
    };
    for (const Case& c : cases) {
        request.excludeFolders = {tree.Path(c.exclude)};
        EXPECT_EQ(c.expected, Walk(SEARCH_SUBDIRS)) << c.exclude;
    }
    // A start folder inside an excluded folder is still walked.
    request.excludeFolders = {tree.Path("a/")};
    EXPECT_EQ(Paths{"a/b/in-b"}, Walk(SEARCH_SUBDIRS, {"a/b/"}));
    // ... but a start folder inside a skip folder is not: those rules go by beginning.
    skip.temporary = {tree.Path("a/")};
    EXPECT_EQ(Paths{}, Walk(SEARCH_SUBDIRS | SKIP_TEMP_FILES, {"a/b/"}));
    skip.mountPoints = {tree.Path("a/")};
    tree.AddFile("a/.Trash-1000/files/t", "4");
    EXPECT_EQ(Paths{}, Walk(SEARCH_SUBDIRS | SKIP_RECYCLE_BIN, {"a/.Trash-1000/files"}));
}

TEST_F(WalkTest, HiddenStartFolderFollowsTheHiddenFolderRule) {
    tree.AddFile(".config/x", "1");
    EXPECT_EQ(Paths{}, Walk(SKIP_HIDDEN_FOLDERS, {".config"}));
    EXPECT_EQ(Paths{".config/x"}, Walk(0, {".config/"}));
}

TEST_F(WalkTest, LeavesOutFifosSocketsAndLinksAndEndsOnLinkLoops) {
    tree.AddFile("real/file", "1");
    tree.AddFifo("real/pipe");
    tree.AddSymlink("real/loop", ".");
    tree.AddSymlink("real/up", "..");
    tree.AddSymlink("real/to-file", tree.Path("real/file"));
    tree.AddSymlink("real/dangling", tree.Path("nowhere"));
    EXPECT_EQ(Paths{"real/file"}, Walk(SEARCH_SUBDIRS));
    // A start folder that is itself a link is entered: the user chose it.
    tree.AddSymlink("chosen", tree.Path("real"));
    EXPECT_EQ(Paths{"chosen/file"}, Walk(SEARCH_SUBDIRS, {"chosen"}));
}

TEST_F(WalkTest, RecordsEachFileOnceAcrossNestedStartFoldersAndHardLinks) {
    tree.AddFile("top", "1");
    tree.AddFile("sub/one", "2");
    tree.AddFile("sub/two", "3");
    tree.AddHardLink("sub/two-again", "sub/two");
    tree.AddHardLink("other-name-of-top", "top");
    const Paths paths = Walk(SEARCH_SUBDIRS, {"", "sub/", "sub"});
    ASSERT_EQ(3u, paths.size());
    EXPECT_EQ(1, std::count(paths.begin(), paths.end(), "sub/one"));
    EXPECT_EQ(1, std::count_if(paths.begin(), paths.end(), [](const std::string& p) {
                  return p == "top" || p == "other-name-of-top";
              }));
    // A link to a folder, given as a start folder, leads to files already recorded.
    tree.AddSymlink("link-to-sub", tree.Path("sub"));
    const Paths viaLink = Walk(SEARCH_SUBDIRS, {"", "link-to-sub"});
    EXPECT_EQ(3u, viaLink.size());
    EXPECT_EQ(1, std::count_if(viaLink.begin(), viaLink.end(),
                               [](const std::string& p) { return p.ends_with("one"); }));
    // A hard link the patterns reject does not hide the name they accept.
    request.includePatterns = {"*-again"};
    EXPECT_EQ(Paths{"sub/two-again"}, Walk(SEARCH_SUBDIRS));
}

TEST_F(WalkTest, KeepsOddNamesByteForByte) {
    const Paths names = {"bad\xff\xfe", "comma,\"quoted\"", "new\nline"};
    for (const std::string& name : names) {
        tree.AddFile("odd/" + name, name);
    }
    Paths expected;
    for (const std::string& name : names) {
        expected.push_back("odd/" + name);
    }
    EXPECT_EQ(expected, Walk(SEARCH_SUBDIRS));
}

TEST_F(WalkTest, EmptyOrMissingStartFoldersFindNothing) {
    request.includeFolders.clear();
    engine = std::make_unique<CVornex>(skip);
    engine->Walk(request);
    EXPECT_EQ(0, request.filesScanned);
    request.includeFolders = {"", tree.Path("missing/"), tree.Path("file")};
    tree.AddFile("file", "x");
    engine->Walk(request);
    EXPECT_EQ(0, request.filesScanned);
    EXPECT_EQ(0, engine->stopFlag.load());
}

}  // namespace
}  // namespace krelix::test
