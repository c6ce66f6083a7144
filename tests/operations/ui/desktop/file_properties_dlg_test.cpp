#include "operations/ui/desktop/file_properties_dlg.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "operations/ui/desktop/program_chooser_dlg.h"

namespace krelix {
namespace {

TEST(FilePropertiesDlg, ShowsEveryPropertyAsText) {
    FileProperties props;
    props.name = "caf\xE9 <b>.txt";
    props.folder = "/home/ann/";
    props.kind = "regular file";
    props.size = 1536;
    props.mode = 0640;
    props.owner = "ann";
    props.group = "staff";
    FilePropertiesDlg dialog(props);

    QStringList labels;
    QMap<QString, QString> values;
    for (const auto& [label, value] : dialog.Rows()) {
        labels << label;
        values[label] = value;
    }
    EXPECT_EQ(labels, (QStringList{"Name:", "Folder:", "Kind:", "Size:", "Modified:", "Accessed:",
                                   "Changed:", "Permissions:", "Owner:"}));
    EXPECT_EQ(values["Name:"], QString::fromUtf8("caf\xEF\xBF\xBD <b>.txt"));
    EXPECT_TRUE(values["Size:"].startsWith("1536 bytes (1.5 ")) << values["Size:"].toStdString();
    EXPECT_EQ(values["Permissions:"], "rw-r----- (0640)");
    EXPECT_EQ(values["Owner:"], "ann, group staff");
    EXPECT_EQ(PropertiesSizeText(12), "12 bytes");
}

TEST(ProgramChooserDlg, PickingAProgramFillsTheCommandAndTypingWorksToo) {
    ProgramChooserDlg dialog("a.png", {{"v.desktop", "Viewer", "viewer %f", "", {}},
                                       {"e.desktop", "Editor", "editor", "", {}}});
    EXPECT_EQ(dialog.programList()->count(), 2);
    EXPECT_EQ(dialog.command(), "");
    dialog.programList()->setCurrentRow(1);
    EXPECT_EQ(dialog.command(), "editor");
    dialog.commandEdit()->setText("  my-tool -x  ");
    EXPECT_EQ(dialog.command(), "my-tool -x");
}

}  // namespace
}  // namespace krelix
