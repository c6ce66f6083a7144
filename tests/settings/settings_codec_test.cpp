#include "settings/settings_codec.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "catalogue/file_type_catalogue.h"
#include "common/text_conversion.h"

namespace krelix {
namespace {

using namespace std::string_literals;

// "name{pattern=description;...}" per category, from the UTF-16 forms a window would show.
std::string Dump(const FileTypeCatalogue& catalogue) {
    std::string out;
    for (const CFileCategory& c : catalogue.Categories()) {
        out += Utf8FromWide(c.GetName()) + "{";
        for (const CFileType& t : c.Types()) {
            out += Utf8FromWide(t.GetPattern()) + "=" + Utf8FromWide(t.GetDescription()) + ";";
        }
        out += "}";
    }
    return out;
}

std::string Hex(const std::string& bytes, std::size_t limit = 16) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < bytes.size() && i < limit; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out += {digits[b >> 4], digits[b & 15], ' '};
    }
    return out;
}

TEST(SettingsPack, EmptyCatalogueIsOneByte) {
    EXPECT_EQ("\x90"s, PackSettings(FileTypeCatalogue{}));
}

TEST(SettingsPack, SingleCategoryExampleIs28Bytes) {
    FileTypeCatalogue catalogue;
    catalogue.AddCategory(u"Any Files").AddType(u"*.*", u"Any Files");
    const std::string expected =
        "\x91\x92\xA9"s + "Any Files" + "\x91\x92\xA3*.*\xA9" + "Any Files";
    const std::string packed = PackSettings(catalogue);
    EXPECT_EQ(28u, packed.size());
    EXPECT_EQ(Hex(expected, 28), Hex(packed, 28));
}

TEST(SettingsPack, DefaultTableIs5717BytesAndReadsBackUnchanged) {
    FileTypeCatalogue catalogue;
    catalogue.RestoreDefaultCatalogue();
    const std::string packed = PackSettings(catalogue);
    EXPECT_EQ(5717u, packed.size());
    EXPECT_EQ("9B 92 A9 ", Hex(packed, 3));
    EXPECT_EQ(std::string::npos, packed.find('\xD9'));

    FileTypeCatalogue loaded;
    ASSERT_TRUE(UnpackSettings(packed, loaded));
    EXPECT_EQ(Dump(catalogue), Dump(loaded));
    EXPECT_EQ(packed, PackSettings(loaded));
}

TEST(SettingsPack, StringHeadersFollowTheTextLength) {
    const struct {
        std::size_t length;
        std::string header;
    } cases[] = {
        {0, "\xA0"},
        {31, "\xBF"},
        {32, "\xDA\x00\x20"s},
        {255, "\xDA\x00\xFF"s},  // never the one-byte-length 0xD9 form
        {65535, "\xDA\xFF\xFF"},
        {65536, "\xDB\x00\x01\x00\x00"s},
    };
    for (const auto& c : cases) {
        FileTypeCatalogue catalogue;
        const std::u16string name(c.length, u'n');
        catalogue.AddCategory(name);
        const std::string packed = PackSettings(catalogue);
        EXPECT_EQ(Hex("\x91\x92" + c.header), Hex(packed.substr(0, 2 + c.header.size())))
            << c.length;
        EXPECT_EQ(3 + c.header.size() + c.length, packed.size()) << c.length;
        FileTypeCatalogue loaded;
        ASSERT_TRUE(UnpackSettings(packed, loaded)) << c.length;
        EXPECT_EQ(name, loaded.Categories().front().GetName());
    }
}

TEST(SettingsPack, ArrayHeadersFollowTheElementCount) {
    const struct {
        std::size_t count;
        std::string header;
    } cases[] = {
        {15, "\x9F"},
        {16, "\xDC\x00\x10"s},
        {65535, "\xDC\xFF\xFF"},
        {65536, "\xDD\x00\x01\x00\x00"s},
    };
    for (const auto& c : cases) {
        FileTypeCatalogue types;
        CFileCategory& category = types.AddCategory(u"");
        for (std::size_t i = 0; i < c.count; ++i) {
            category.AddType(u"", u"");
        }
        const std::string packed = PackSettings(types);
        EXPECT_EQ(Hex("\x91\x92\xA0" + c.header), Hex(packed.substr(0, 3 + c.header.size())));
        EXPECT_EQ(3 + c.header.size() + 3 * c.count, packed.size()) << c.count;
        FileTypeCatalogue loaded;
        ASSERT_TRUE(UnpackSettings(packed, loaded)) << c.count;
        EXPECT_EQ(c.count, loaded.Categories().front().TypeCount());
    }
    FileTypeCatalogue sixteen;
    for (int i = 0; i < 16; ++i) {
        sixteen.AddCategory(u"c");
    }
    EXPECT_EQ(Hex("\xDC\x00\x10\x92"s), Hex(PackSettings(sixteen).substr(0, 4)));
}

TEST(SettingsPack, NonAsciiTextsReadBackExactly) {
    FileTypeCatalogue catalogue;
    CFileCategory& c = catalogue.AddCategory(u"B\u00FCro \u6587\u4EF6");
    c.AddType(u"*.\u00C4\u00D6\u00DC", u"\U0001F600 Gr\u00FC\u00DFe, \"quoted\"; \u0434\u0430");
    c.AddType(u"\u0395\u03B9\u03BA\u03CC\u03BD\u03B1.*", u"");
    catalogue.AddCategory(u"");

    FileTypeCatalogue loaded;
    ASSERT_TRUE(UnpackSettings(PackSettings(catalogue), loaded));
    EXPECT_EQ(Dump(catalogue), Dump(loaded));
    const CFileType& type = loaded.Categories().front().Types().front();
    EXPECT_EQ(u"\U0001F600 Gr\u00FC\u00DFe, \"quoted\"; \u0434\u0430", type.GetDescription());
    EXPECT_FALSE(type.IsChecked());
}

TEST(SettingsUnpack, AcceptsMoreThanTheWriterWrites) {
    const struct {
        const char* label;
        std::string bytes;
        std::string expected;
    } cases[] = {
        {"empty array", "\x90", ""},
        {"bytes after the value",
         "\x91\x92\xA1"
         "A\x90"
         "trailing \xC1 junk",
         "A{}"},
        {"category of no element", "\x91\x90", "{}"},
        {"category of name only",
         "\x91\x91\xA1"
         "A",
         "A{}"},
        {"type of no element",
         "\x91\x92\xA1"
         "A\x91\x90",
         "A{=;}"},
        {"type of pattern only",
         "\x91\x92\xA1"
         "A\x91\x91\xA2*.",
         "A{*.=;}"},
        {"extra elements ignored",
         "\x91\x94\xA1"
         "A\x91\x93\xA1p\xA1"
         "d\x81\x01\x02\xC0\x92\xCB"s +
             std::string(8, '\0') + "\xC7\x01\x05x",
         "A{p=d;}"},
        {"str8 header",
         "\x91\x91\xD9\x01"
         "A",
         "A{}"},
        {"bin headers",
         "\x91\x92\xC4\x01"
         "A\x91\x92\xC5\x00\x01p\xC6\x00\x00\x00\x01"
         "d"s,
         "A{p=d;}"},
        {"zero byte ends a text",
         "\x91\x92\xA3"
         "a\0b\x91\x92\xA2p\0\xA0"s,
         "a{p=;}"},
        {"invalid UTF-8 name", "\x91\x91\xA2\xC3(", "\uFFFD({}"},
        {"encoded surrogate in a pattern", "\x91\x92\xA0\x91\x91\xA3\xED\xA0\x80",
         "{\uFFFD\uFFFD\uFFFD=;}"},
        {"Latin-1 description",
         "\x91\x92\xA0\x91\x92\xA0\xA4"
         "caf\xE9",
         "{=caf\uFFFD;}"},
        {"bytes after a zero are not read",
         "\x91\x91\xA3"
         "a\0\xFF"s,
         "a{}"},
    };
    for (const auto& c : cases) {
        FileTypeCatalogue catalogue;
        EXPECT_TRUE(UnpackSettings(c.bytes, catalogue)) << c.label;
        EXPECT_EQ(c.expected, Dump(catalogue)) << c.label;
    }
}

TEST(SettingsUnpack, ZeroByteTextKeepsBothFormsInStep) {
    FileTypeCatalogue catalogue;
    ASSERT_TRUE(
        UnpackSettings("\x91\x91\xA3"
                       "a\0b"s,
                       catalogue));
    EXPECT_EQ("a", catalogue.Categories().front().NameUtf8());
    EXPECT_EQ(
        "\x91\x92\xA1"
        "a\x90",
        PackSettings(catalogue));
}

TEST(SettingsUnpack, RejectsBrokenInputAndLeavesTheCatalogueEmpty) {
    const std::string valid =
        "\x91\x92\xA1"
        "A\x91\x92\xA1p\xA1"
        "d";
    const struct {
        const char* label;
        std::string bytes;
    } cases[] = {
        {"no bytes", ""},
        {"root nil", "\xC0"},
        {"root integer", "\x01"},
        {"root string",
         "\xA1"
         "A"},
        {"root map",
         "\x81\xA1"
         "A\x90"},
        {"never-used byte", "\xC1"},
        {"category not an array",
         "\x91\xA1"
         "A"},
        {"category as a map",
         "\x91\x81\xA1"
         "A\x90"},
        {"name not a text", "\x91\x92\x01\x90"},
        {"name nil", "\x91\x91\xC0"},
        {"types not an array",
         "\x91\x92\xA1"
         "A\xA0"},
        {"type not an array",
         "\x91\x92\xA1"
         "A\x91\xA1p"},
        {"pattern an integer",
         "\x91\x92\xA1"
         "A\x91\x92\x05\xA0"},
        {"description nil",
         "\x91\x92\xA1"
         "A\x91\x92\xA0\xC0"},
        {"description an ext",
         "\x91\x92\xA1"
         "A\x91\x92\xA0\xD4\x01\x02"},
        {"cut inside a string",
         "\x91\x92\xA5"
         "AB"},
        {"cut inside an array",
         "\x92\x92\xA1"
         "A\x90"},
        {"cut inside a header", "\x91\x92\xDA\x00"s},
        {"4 GiB of categories in 10 bytes", "\xDD\xFF\xFF\xFF\xFF\x90\x90\x90\x90\x90"},
        {"16 M categories in 10 bytes", "\xDD\x01\x00\x00\x00\x90\x90\x90\x90\x90"s},
        {"64 Ki types in 10 bytes", "\x91\x92\xA0\xDC\xFF\xFF\x90\x90\x90\x90"},
        {"4 GiB name",
         "\x91\x92\xDB\xFF\xFF\xFF\xFF"
         "abc"},
        {"4 GiB bin",
         "\x91\x92\xC6\xFF\xFF\xFF\xFF"
         "abc"},
        {"4 GiB map among extras", "\x91\x93\xA0\x90\xDF\xFF\xFF\xFF\xFF"},
        {"4 GiB ext among extras", "\x91\x93\xA0\x90\xC9\xFF\xFF\xFF\xFF\x01"},
        {"deep nesting", std::string(100000, '\x91') + "\x90"},
        {"deep nesting among extras", "\x91\x93\xA0\x90" + std::string(100000, '\x91') + "\x90"},
        {"bad third category", "\x93" + valid.substr(1) + valid.substr(1) + "\xC0"},
        {"larger than the cap",
         "\x91\x91\xDB\x00\x10\x00\x00"s + std::string(kMaxSettingsSize, 'x')},
    };
    for (const auto& c : cases) {
        FileTypeCatalogue catalogue;
        catalogue.RestoreDefaultCatalogue();
        EXPECT_FALSE(UnpackSettings(c.bytes, catalogue)) << c.label;
        EXPECT_TRUE(catalogue.IsEmpty()) << c.label;
    }
}

TEST(SettingsUnpack, EveryCutOfTheDefaultTableLoadsNothing) {
    FileTypeCatalogue defaults;
    defaults.RestoreDefaultCatalogue();
    const std::string packed = PackSettings(defaults);
    for (std::size_t length = 0; length < packed.size(); ++length) {
        FileTypeCatalogue catalogue;
        catalogue.AddCategory(u"before");
        ASSERT_FALSE(UnpackSettings(std::string_view(packed).substr(0, length), catalogue))
            << length;
        ASSERT_TRUE(catalogue.IsEmpty()) << length;
    }
}

// Random bytes drawn mostly from the header bytes the format uses, so that many inputs get
// past the first byte. Whatever loads must survive a save and a load unchanged.
TEST(SettingsUnpack, RandomBytesLoadCleanlyOrNotAtAll) {
    const unsigned char common[] = {0x90, 0x91, 0x92, 0x93, 0xA0, 0xA1, 0xA3, 0xDA, 0xDB, 0xDC,
                                    0xDD, 0xD9, 0xC4, 0xC0, 0x00, 0xFF, 'A',  0xC3, 0x84, 0x80};
    std::mt19937 random(20240611);
    int loaded = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string bytes(random() % 40, '\0');
        for (char& b : bytes) {
            b = static_cast<char>(random() % 4 ? common[random() % sizeof common] : random());
        }
        FileTypeCatalogue catalogue;
        if (UnpackSettings(bytes, catalogue)) {
            ++loaded;
            FileTypeCatalogue again;
            ASSERT_TRUE(UnpackSettings(PackSettings(catalogue), again)) << Hex(bytes, 40);
            ASSERT_EQ(Dump(catalogue), Dump(again)) << Hex(bytes, 40);
        } else {
            ASSERT_TRUE(catalogue.IsEmpty()) << Hex(bytes, 40);
        }
    }
    EXPECT_GT(loaded, 100);  // the generator does reach valid files
}

}  // namespace
}  // namespace krelix
