#include "operations/ui/desktop/program_command.h"

#include <gtest/gtest.h>

#include "operations/ui/desktop/desktop_programs.h"
#include "operations/ui/desktop/shell_paths.h"
#include "support/temp_tree.h"

namespace krelix {
namespace {

using test::TempTree;

TEST(BuildProgramCommand, FieldCodesAndQuoting) {
    const QString path = "/tmp/a b,\"c\".png";
    const QUrl url = QUrl::fromLocalFile(path);
    const QString encoded = QString::fromUtf8(url.toEncoded());
    struct Case {
        QString line;
        std::optional<ProgramCommand> expected;
    };
    const Case cases[] = {
        {"gimp", ProgramCommand{"gimp", {path}}},
        {"  eog  --fullscreen ", ProgramCommand{"eog", {"--fullscreen", path}}},
        {"viewer %f --end", ProgramCommand{"viewer", {path, "--end"}}},
        {"viewer %F", ProgramCommand{"viewer", {path}}},
        {"browser %U", ProgramCommand{"browser", {encoded}}},
        {"app %i %c %k %u", ProgramCommand{"app", {encoded}}},
        {"app --rate=100%%", ProgramCommand{"app", {"--rate=100%", path}}},
        {"\"/opt/My App/run\" 'x y'", ProgramCommand{"/opt/My App/run", {"'x", "y'", path}}},
        {"\"/opt/My App/run\" \"x y\"", ProgramCommand{"/opt/My App/run", {"x y", path}}},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"%i", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BuildProgramCommand(c.line, path, url), c.expected) << c.line.toStdString();
    }
}

TEST(ShellPaths, UrlsKeepEveryByte) {
    struct Case {
        std::string path;
        QByteArray encoded;
    };
    const Case cases[] = {
        {"/a b/c,d.txt", "file:///a%20b/c,d.txt"},
        {"/x/#1?.png", "file:///x/%231%3F.png"},
        {"/x/caf\xE9.png", "file:///x/caf%E9.png"},
        {"/x/\xC3\xA4.png", "file:///x/%C3%A4.png"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FileUrl(c.path).toEncoded(), c.encoded) << c.path;
    }
    EXPECT_EQ(FolderUrl("/a b/c,d.txt").toEncoded(), "file:///a%20b/");
    EXPECT_FALSE(ArgumentPath("/x/caf\xE9.png").has_value());
    EXPECT_EQ(ArgumentPath("/x/\xC3\xA4 -a.png"), QString::fromUtf8("/x/\xC3\xA4 -a.png"));
}

TEST(DesktopPrograms, ReadsVisibleApplicationsFirstForTheMimeType) {
    TempTree tree;
    tree.AddFile("user/viewer.desktop",
                 "[Desktop Entry]\nType=Application\nName=Viewer\nName[de]=Betrachter\n"
                 "Exec=viewer\\s2 %f\nIcon=viewer\nMimeType=image/png;image/jpeg;\n"
                 "[Desktop Action new]\nName=Other\nExec=ignored\n");
    tree.AddFile("user/editor.desktop",
                 "# comment\n[Desktop Entry]\nType=Application\nName=Editor\nExec=ed %U\n");
    tree.AddFile("user/gone.desktop",
                 "[Desktop Entry]\nType=Application\nName=Gone\nExec=g\nHidden=true\n");
    tree.AddFile("user/link.desktop", "[Desktop Entry]\nType=Link\nName=L\nURL=x\n");
    tree.AddFile("system/gone.desktop", "[Desktop Entry]\nType=Application\nName=G\nExec=g\n");
    tree.AddFile("system/viewer.desktop",
                 "[Desktop Entry]\nType=Application\nName=Old\nExec=old\n");
    tree.AddFile("system/aaa.desktop", "[Desktop Entry]\nType=Application\nName=Aaa\nExec=a\n");

    const auto programs = ListDesktopPrograms(
        {QString::fromStdString(tree.Path("user")), QString::fromStdString(tree.Path("system"))},
        "image/png", "de_DE");
    ASSERT_EQ(programs.size(), 3u);
    EXPECT_EQ(programs[0].name, "Betrachter");
    EXPECT_EQ(programs[0].exec, "viewer 2 %f");
    EXPECT_EQ(programs[0].icon, "viewer");
    EXPECT_EQ(programs[1].name, "Aaa");
    EXPECT_EQ(programs[2].name, "Editor");
}

}  // namespace
}  // namespace krelix
