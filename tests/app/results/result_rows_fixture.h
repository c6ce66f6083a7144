#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QPushButton>
#include <QTest>

#include "app/commands/desktop_commands.h"
#include "app/commands/rename_and_export_commands.h"
#include "app/results/mfc_list_ctrl_ex.h"
#include "app/results/selection_preview.h"
#include "app/state/krelix_dlg_model.h"
#include "app/window/krelix_dlg.h"
#include "support/fake_launcher.h"
#include "support/fake_prompts.h"
#include "support/fake_rename_dialogs.h"
#include "support/listed_record.h"
#include "support/temp_tree.h"

namespace krelix::test {

inline QString Text(const std::string& bytes) {
    return QString::fromStdString(bytes);
}

// The main window over fakes, showing real files of a temp tree, with what main.cpp gives it
// for its results: the rename and export commands, the desktop commands and the preview.
class ResultRowsFixture : public ::testing::Test {
  protected:
    ResultRowsFixture()
        : model(tree.Path("settings.dat")),
          window(model, prompts, CKrelixDlg::Dialogs{}),
          renameExport(model, *window.resultsList(), *window.exportButton(), prompts,
                       renameDialogs),
          desktop(model, *window.resultsList(),
                  {prompts, launcher, shellDialogs, {Text(tree.AddFolder("program")), {}}}),
          selectionPreview(window, model.rows(), *window.resultsList()) {
        window.show();
        QApplication::processEvents();
    }

    // Lists a new file; rows of one size and content form one group.
    CFileItem* AddRow(const std::string& relative, const std::string& content = "same") {
        CFileItem item;
        item.path = tree.AddFile(relative, content);
        item.size = content.size();
        item.groupKey = std::to_string(item.size) + "00C0FFEE";
        item.modified = 1700000000 + 86400 * static_cast<std::int64_t>(model.rows().rowCount());
        item.identity = IdentityOfPath(item.path);
        return Append(item);
    }

    CFileItem* AddPictureRow(const std::string& relative, int width, int height) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(QColor(200, 90, 30));
        CFileItem item;
        item.path = tree.AddFile(relative, "");
        EXPECT_TRUE(image.save(Text(item.path), "PNG"));
        item.groupKey = "42PICTURE";
        return Append(item);
    }

    CFileItem* Append(const CFileItem& item) {
        CFileItem* stored = model.results().Add(item);
        model.rows().AppendRecord(stored);
        model.rows().RestripeGroups();
        return stored;
    }

    QString Cell(int row, int column) { return model.rows().index(row, column).data().toString(); }

    CMFCListCtrlEx& list() const { return *window.resultsList(); }

    void Choose(CommandId id) {
        QAction* action = list().popupAction(id);
        ASSERT_NE(action, nullptr);
        action->trigger();
    }

    void ClickRow(int row) {
        const QRect cell = list().visualRect(model.rows().index(row, ResultsModel::NameColumn));
        QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, cell.center());
    }

    TempTree tree;
    FakePrompts prompts;
    FakeLauncher launcher;
    FakeShellDialogs shellDialogs;
    FakeRenameDialogs renameDialogs;
    KrelixDlgModel model;
    CKrelixDlg window;
    RenameAndExportCommands renameExport;
    DesktopCommands desktop;
    SelectionPreview selectionPreview;
};

}  // namespace krelix::test
