#include "app/results/selection_preview.h"

#include <QSignalSpy>

#include "preview/ui/picture_ctrl.h"
#include "preview/ui/preview_dlg.h"

#include "app/results/result_rows_fixture.h"

namespace krelix::test {
namespace {

using SelectionPreviewTest = ResultRowsFixture;

// Waits until the preview has tried the file it was given last.
bool PreviewAnswer(QSignalSpy& shown) {
    if (shown.isEmpty()) {
        EXPECT_TRUE(shown.wait(10000)) << "the preview never answered";
    }
    return !shown.isEmpty() && shown.last().at(0).toBool();
}

TEST_F(SelectionPreviewTest, PreviewFollowsTheSelectionByMouseAndKeyboard) {
    EXPECT_EQ(selectionPreview.preview(), nullptr);
    AddPictureRow("pictures/wide.png", 80, 40);
    AddPictureRow("pictures/copy of wide.png", 80, 40);
    AddRow("notes.txt");

    // The rows' arrival creates the preview, hidden, with nothing selected.
    CPreviewDlg* preview = selectionPreview.preview();
    ASSERT_NE(preview, nullptr);
    EXPECT_FALSE(preview->isVisible());
    EXPECT_EQ(preview->parentWidget(), &window);

    QSignalSpy shown(preview, &CPreviewDlg::FileShown);
    ClickRow(0);
    ASSERT_TRUE(PreviewAnswer(shown));
    EXPECT_TRUE(preview->isVisible());
    EXPECT_TRUE(preview->pictureCtrl()->isVisible());
    EXPECT_EQ(preview->pictureCtrl()->PictureSize(), QSize(80, 40));
    EXPECT_EQ(preview->path(), tree.Path("pictures/wide.png"));

    list().setFocus();
    shown.clear();
    QTest::keyClick(&list(), Qt::Key_Down);
    ASSERT_TRUE(PreviewAnswer(shown));
    EXPECT_EQ(preview->path(), tree.Path("pictures/copy of wide.png"));

    shown.clear();
    QTest::keyClick(&list(), Qt::Key_Down);
    EXPECT_FALSE(PreviewAnswer(shown));
    EXPECT_EQ(preview->path(), tree.Path("notes.txt"));
    EXPECT_TRUE(preview->isVisible());
    EXPECT_FALSE(preview->pictureCtrl()->isVisible());
    EXPECT_TRUE(preview->windowTitle().endsWith("notes.txt"));
}

TEST_F(SelectionPreviewTest, PreviewHidesForASearchEscapeAndTheWindowClosing) {
    AddPictureRow("a.png", 20, 20);
    AddPictureRow("b.png", 20, 20);
    const auto showRow = [this](int row) {
        ClickRow(row);
        QSignalSpy shown(selectionPreview.preview(), &CPreviewDlg::FileShown);
        return PreviewAnswer(shown) && selectionPreview.preview()->isVisible();
    };

    ASSERT_TRUE(showRow(0));
    window.HidePreview();  // a search starts
    EXPECT_FALSE(selectionPreview.preview()->isVisible());

    ASSERT_TRUE(showRow(1));
    QTest::keyClick(selectionPreview.preview(), Qt::Key_Escape);
    EXPECT_FALSE(selectionPreview.preview()->isVisible());

    ASSERT_TRUE(showRow(0));
    window.close();
    EXPECT_FALSE(selectionPreview.preview()->isVisible());
}

TEST_F(SelectionPreviewTest, PreviewHidesWhenTheResultsAreCleared) {
    AddPictureRow("a.png", 20, 20);
    ClickRow(0);
    QSignalSpy shown(selectionPreview.preview(), &CPreviewDlg::FileShown);
    ASSERT_TRUE(PreviewAnswer(shown));
    ASSERT_TRUE(selectionPreview.preview()->isVisible());
    model.rows().Clear();
    EXPECT_FALSE(selectionPreview.preview()->isVisible());
}

}  // namespace
}  // namespace krelix::test
