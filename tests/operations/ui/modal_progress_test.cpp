#include "operations/ui/modal_progress.h"

#include <gtest/gtest.h>

#include <QProgressDialog>
#include <QTest>
#include <QWidget>

namespace krelix {
namespace {

TEST(ModalProgress, SlowCommandShowsTheBoxAndCancelStopsIt) {
    QWidget window;
    window.show();
    ModalProgress progress(&window);
    progress.Begin("Deleting files", 1000);
    QProgressDialog* dialog = progress.dialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(ModalProgress::kMinimumDurationMs, dialog->minimumDuration());
    EXPECT_EQ(QStringLiteral("Deleting files"), dialog->windowTitle());
    EXPECT_TRUE(dialog->isModal());
    EXPECT_FALSE(dialog->isVisible());

    // A slow command: a file every 20 ms until the box shows (5 s at most).
    std::size_t done = 0;
    for (; done < 250 && !dialog->isVisible(); ++done) {
        ASSERT_TRUE(progress.Next(done, "/some/folder/file " + std::to_string(done)));
        QTest::qWait(20);
    }
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_TRUE(dialog->labelText().startsWith(QStringLiteral("/some/folder/file")));

    dialog->cancel();
    EXPECT_FALSE(progress.Next(done, "/some/folder/next"));
    progress.End();
    EXPECT_EQ(nullptr, progress.dialog());
}

}  // namespace
}  // namespace krelix
