#include "preview/ui/preview_dlg.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include "preview/ui/picture_ctrl.h"
#include "preview/ui/picture_loader.h"
#include "support/temp_tree.h"

namespace krelix {
namespace {

using test::TempTree;

// A picture file of the given size in the tree, saved as PNG whatever the name says.
std::string AddPicture(TempTree& tree, const std::string& name, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(30, 120, 200));
    const std::string path = tree.Path(name);
    EXPECT_TRUE(image.save(QString::fromStdString(path), "PNG"));
    return path;
}

// Shows a file and waits until the preview has tried it.
bool ShowAndWait(CPreviewDlg& dialog, const std::string& path) {
    QSignalSpy shown(&dialog, &CPreviewDlg::FileShown);
    dialog.ShowFile(path);
    // The file shown last is answered at once, others when decoded.
    if (shown.isEmpty()) {
        EXPECT_TRUE(shown.wait(10000)) << "no answer for " << path;
    }
    return !shown.isEmpty() && shown.last().at(0).toBool();
}

TEST(DecodePicture, DecidesByContentNotByName) {
    TempTree tree;
    const std::string png = AddPicture(tree, "really a picture.txt", 40, 20);
    const std::string text = tree.AddFile("looks like a picture.png", "just some text\n");
    const std::string fifo = tree.AddFifo("pipe.png");

    EXPECT_EQ(DecodePicture(png, QSize(4096, 4096)).size(), QSize(40, 20));
    EXPECT_TRUE(DecodePicture(text, QSize(4096, 4096)).isNull());
    EXPECT_TRUE(DecodePicture(fifo, QSize(4096, 4096)).isNull());  // must not block
    EXPECT_TRUE(DecodePicture(tree.Path("gone.png"), QSize(4096, 4096)).isNull());
    EXPECT_TRUE(DecodePicture(tree.root(), QSize(4096, 4096)).isNull());
}

TEST(DecodePicture, LargePicturesAreDecodedShrunk) {
    TempTree tree;
    QImage big(6000, 3000, QImage::Format_Grayscale8);
    big.fill(128);
    const std::string path = tree.Path("big.png");
    ASSERT_TRUE(big.save(QString::fromStdString(path), "PNG"));

    EXPECT_EQ(DecodePicture(path, QSize(800, 600)).size(), QSize(800, 400));
}

TEST(DecodePicture, NonUtf8NameIsOpenedByItsBytes) {
    TempTree tree;
    const std::string utf8Path = AddPicture(tree, "plain.png", 8, 8);
    const std::string oddPath = tree.Path("caf\xE9, \"odd\".png");
    ASSERT_EQ(::rename(utf8Path.c_str(), oddPath.c_str()), 0);
    EXPECT_EQ(DecodePicture(oddPath, QSize(100, 100)).size(), QSize(8, 8));
}

TEST(CPreviewDlg, StartsHiddenWithThePlainTitle) {
    CPreviewDlg dialog;
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.windowTitle(), "Picture Preview");
    EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::Tool));
}

TEST(CPreviewDlg, PictureShowsTheWindowAndOtherFilesBlankIt) {
    TempTree tree;
    const std::string picture = AddPicture(tree, "shot.txt", 64, 32);
    const std::string text = tree.AddFile("notes.txt", "hello");
    CPreviewDlg dialog;

    // A non-picture while hidden: the window stays hidden.
    EXPECT_FALSE(ShowAndWait(dialog, text));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.toolTip().toStdString(), text);

    EXPECT_TRUE(ShowAndWait(dialog, picture));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.pictureCtrl()->isVisible());
    EXPECT_TRUE(dialog.pictureCtrl()->IsLoaded());
    EXPECT_EQ(dialog.pictureCtrl()->PictureSize(), QSize(64, 32));
    // The control fills the client area.
    EXPECT_EQ(dialog.pictureCtrl()->geometry(), dialog.rect());

    // A non-picture while visible: retitled, picture area blank, window still shown.
    EXPECT_FALSE(ShowAndWait(dialog, text));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.pictureCtrl()->isVisible());
    EXPECT_FALSE(dialog.pictureCtrl()->IsLoaded());
    EXPECT_TRUE(dialog.windowTitle().endsWith("notes.txt"));
}

TEST(CPreviewDlg, EscapeAndCloseHideAndTheNextPictureShowsAgain) {
    TempTree tree;
    const std::string picture = AddPicture(tree, "a.png", 10, 10);
    CPreviewDlg dialog;
    ASSERT_TRUE(ShowAndWait(dialog, picture));

    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    ASSERT_TRUE(ShowAndWait(dialog, picture));
    EXPECT_TRUE(dialog.isVisible());

    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    ASSERT_TRUE(ShowAndWait(dialog, picture));
    EXPECT_TRUE(dialog.isVisible());
}

TEST(CPreviewDlg, ResultsOfSupersededFilesAreDropped) {
    TempTree tree;
    const std::string picture = AddPicture(tree, "a.png", 300, 200);
    const std::string text = tree.AddFile("b.txt", "not a picture");
    CPreviewDlg dialog;

    // The selection moves on before the picture is decoded: only the last file counts.
    dialog.ShowFile(picture);
    EXPECT_FALSE(ShowAndWait(dialog, text));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.pictureCtrl()->IsLoaded());

    // A search starts while a picture is being decoded: it must not pop up afterwards.
    ASSERT_TRUE(ShowAndWait(dialog, picture));
    dialog.ShowFile(picture);
    dialog.HidePreview();
    EXPECT_FALSE(ShowAndWait(dialog, text));
    EXPECT_FALSE(dialog.isVisible());
}

TEST(CPreviewDlg, TitleIsShortenedToTheWidthAndGrowsBack) {
    TempTree tree;
    const std::string folder = tree.AddFolder(std::string(30, 'f') + "/" + std::string(30, 'g'));
    const std::string picture =
        AddPicture(tree, folder.substr(tree.root().size()) + "/pic.png", 10, 10);
    CPreviewDlg dialog;
    dialog.resize(300, 200);
    ASSERT_TRUE(ShowAndWait(dialog, picture));
    const QString narrow = dialog.windowTitle();
    EXPECT_TRUE(narrow.startsWith("Picture Preview - "));
    EXPECT_TRUE(narrow.contains("..."));
    EXPECT_TRUE(narrow.endsWith("/pic.png"));

    dialog.resize(4000, 300);
    EXPECT_EQ(dialog.windowTitle(), "Picture Preview - " + QString::fromStdString(picture));
    dialog.resize(300, 200);
    EXPECT_EQ(dialog.windowTitle(), narrow);
}

TEST(CPreviewDlg, KeepsItsMinimumSize) {
    CPreviewDlg dialog;
    dialog.resize(100, 50);
    EXPECT_GE(dialog.frameGeometry().width(), 300);
    EXPECT_GE(dialog.frameGeometry().height(), 200);
}

TEST(CPreviewDlg, SameFileAgainIsNotDecodedAgainButShowsTheWindow) {
    TempTree tree;
    const std::string picture = AddPicture(tree, "a.png", 10, 10);
    CPreviewDlg dialog;
    ASSERT_TRUE(ShowAndWait(dialog, picture));
    dialog.hide();
    // Answered at once, without a decode: the signal comes before ShowFile returns.
    QSignalSpy shown(&dialog, &CPreviewDlg::FileShown);
    dialog.ShowFile(picture);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0][0].toBool());
    EXPECT_TRUE(dialog.isVisible());

    // After a search started, the file is tried afresh (it may have changed).
    dialog.HidePreview();
    QSignalSpy again(&dialog, &CPreviewDlg::FileShown);
    dialog.ShowFile(picture);
    EXPECT_TRUE(again.isEmpty());
    ASSERT_TRUE(again.wait(10000));
    EXPECT_TRUE(dialog.isVisible());
}

TEST(UpdatePreview, CreatesHiddenOnFirstUseThenShowsTheSelectedFile) {
    TempTree tree;
    const std::string picture = AddPicture(tree, "a.png", 10, 10);
    QWidget mainWindow;
    std::unique_ptr<CPreviewDlg> preview;

    UpdatePreview(preview, &mainWindow, std::nullopt);
    ASSERT_TRUE(preview);
    EXPECT_FALSE(preview->isVisible());
    EXPECT_EQ(preview->parentWidget(), &mainWindow);
    CPreviewDlg* const created = preview.get();

    QSignalSpy shown(created, &CPreviewDlg::FileShown);
    UpdatePreview(preview, &mainWindow, picture);
    EXPECT_EQ(preview.get(), created);
    ASSERT_TRUE(shown.wait(10000));
    EXPECT_TRUE(preview->isVisible());
    EXPECT_EQ(preview->path(), picture);
}

TEST(CPictureCtrl, DrawsCentredOnWhite) {
    CPictureCtrl control;
    control.resize(400, 300);
    QImage red(10, 10, QImage::Format_RGB32);
    red.fill(Qt::red);
    control.SetPicture(red);
    EXPECT_EQ(control.DrawnRect(), (PictureRect{50, 0, 300, 300}));

    const QImage drawn = control.grab().toImage();
    EXPECT_EQ(drawn.pixelColor(10, 150), QColor(Qt::white));
    EXPECT_EQ(drawn.pixelColor(200, 150), QColor(Qt::red));
    EXPECT_EQ(drawn.pixelColor(390, 150), QColor(Qt::white));

    control.ClearPicture();
    EXPECT_EQ(control.grab().toImage().pixelColor(200, 150), QColor(Qt::white));
}

}  // namespace
}  // namespace krelix
