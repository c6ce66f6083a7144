// The progress window while the comparison reads large files: the bar follows the bytes read and
// the path names the file being read, in the second stage too.
#include <QProgressBar>

#include "app/search/search_fixture.h"
#include "engine/file_crc.h"

namespace krelix::test {
namespace {

// Every reading notice reaches the window, not one per interval.
class SearchProgressTest : public SearchFixture {
  protected:
    SearchProgressTest() : SearchFixture(EveryReadingNotice()) {}
    static EngineOptions EveryReadingNotice() {
        EngineOptions options;
        options.readingNoticeInterval = std::chrono::nanoseconds(0);
        return options;
    }
};

TEST_F(SearchProgressTest, ProgressFollowsTheSecondStageFileByFile) {
    // Equal first and last blocks: every file is read whole in the second stage.
    const std::uint64_t size = 8 * kChunkSize;
    for (const char* name : {"d/a.bin", "d/b.bin", "d/c.bin"}) {
        tree.AddSizedFile(name, size, 'r');
    }
    Include(tree.Path("d"));
    auto first = std::make_shared<Gate>(ProgressNotice::Kind::Reading);
    auto next = std::make_shared<Gate>(
        ProgressNotice::Kind::Reading, nullptr, [first](const ProgressNotice& n) {
            return first->Reached() && n.path != first->Notice().path;
        });
    controller.SetNoticeHook([first, next](const ProgressNotice& n) {
        first->OnNotice(n);
        next->OnNotice(n);
    });
    QSignalSpy finished(&controller, &SearchController::searchFinished);
    QTest::mouseClick(window.searchButton(), Qt::LeftButton);

    CWaitingDlg* waiting = nullptr;
    int firstValue = 0;
    for (const auto& gate : {first, next}) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return gate->Reached(); }, 10000));
        waiting = controller.waitingDlg();
        const QString expected = QStringLiteral("Comparing : ") + Q(gate->Notice().path);
        ASSERT_TRUE(QTest::qWaitFor([&] { return waiting->statusText() == expected; }, 5000))
            << waiting->statusText().toStdString();
        const int value = waiting->progressBar()->value();
        EXPECT_GT(value, firstValue) << "the bar rises while files are read";
        EXPECT_LT(value, waiting->progressBar()->maximum());
        firstValue = value;
        gate->Release();
    }
    ASSERT_TRUE(!finished.isEmpty() || finished.wait(30000));
    EXPECT_EQ(3u, model.rows().RowRecords().size());
}

}  // namespace
}  // namespace krelix::test
