// Cancel at exact points of a run, and what the window allows meanwhile.
#include <QMessageBox>
#include <QProgressBar>
#include <QTimer>

#include "app/search/search_fixture.h"
#include "common/ui/prompts.h"

namespace krelix::test {
namespace {

const QString kQuestion = QStringLiteral("Are you sure you want to cancel search process?");

class SearchCancelTest : public SearchFixture {
  protected:
    // Ten groups of two small files in one folder, ten more files of sizes of their own.
    void PlantGroups() {
        for (int group = 0; group < 10; ++group) {
            const std::string content(static_cast<std::size_t>(group + 1), 'a' + group);
            tree.AddFile("d/g" + std::to_string(group) + "a.dat", content);
            tree.AddFile("d/g" + std::to_string(group) + "b.dat", content);
            tree.AddFile("d/lone" + std::to_string(group) + ".dat", std::string(100 + group, 'z'));
        }
        Include(tree.Path("d"));
    }

    void StartSearch() {
        finished = std::make_unique<QSignalSpy>(&controller, &SearchController::searchFinished);
        QTest::mouseClick(window.searchButton(), Qt::LeftButton);
    }
    bool WaitForEnd() { return !finished->isEmpty() || finished->wait(30000); }
    int QuestionsAsked() const { return static_cast<int>(prompts.fake.Texts().count(kQuestion)); }

    std::unique_ptr<QSignalSpy> finished;
};

TEST_F(SearchCancelTest, CancelDuringTheWalkStopsItAndShowsTheSummary) {
    PlantGroups();
    Gate& gate = HoldAt(ProgressNotice::Kind::Searching);
    StartSearch();
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate.Reached(); }, 10000));

    // Meanwhile: the window is disabled and cannot close; the progress window works.
    EXPECT_FALSE(window.isEnabled());
    EXPECT_FALSE(window.close());
    CWaitingDlg* waiting = controller.waitingDlg();
    ASSERT_NE(waiting, nullptr);
    EXPECT_TRUE(waiting->isVisible());
    EXPECT_TRUE(waiting->isEnabled());
    const QString expected =
        QStringLiteral("Searching : ") + QString::fromStdString(gate.Notice().path);
    ASSERT_TRUE(QTest::qWaitFor([&] { return waiting->statusText() == expected; }, 5000));
    EXPECT_EQ(waiting->progressBar()->maximum(), 0) << "busy while walking";
    EXPECT_EQ(waiting->countLabel()->text(), QStringLiteral("5 files found"));

    prompts.fake.answers = {false};  // "Cancel": the search goes on
    QTest::mouseClick(waiting->cancelButton(), Qt::LeftButton);
    EXPECT_EQ(QuestionsAsked(), 1);
    EXPECT_EQ(prompts.fake.shown.back().caption, QStringLiteral("Tessmark Duplicate Finder"));
    EXPECT_EQ(model.engine().stopFlag.load(), 0);
    EXPECT_TRUE(waiting->isVisible());

    prompts.fake.answers = {true};
    QTest::keyClick(waiting, Qt::Key_Escape);  // Escape asks the same
    EXPECT_EQ(QuestionsAsked(), 2);
    EXPECT_EQ(model.engine().stopFlag.load(), 1);
    EXPECT_FALSE(waiting->isVisible());
    gate.Release();
    ASSERT_TRUE(WaitForEnd());

    EXPECT_EQ(Summary(), "Files scanned: 5 , duplicates: 0 ");
    EXPECT_EQ(prompts.fake.shown.back().text.toStdString(), Summary());
    EXPECT_TRUE(window.isEnabled());
    EXPECT_TRUE(window.close()) << "closing is allowed again";
}

TEST_F(SearchCancelTest, CancelDuringTheComparisonKeepsOnlyConfirmedGroups) {
    PlantGroups();
    Gate& gate = HoldAt(ProgressNotice::Kind::Comparing);
    StartSearch();
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate.Reached(); }, 10000));
    CWaitingDlg* waiting = controller.waitingDlg();
    const QString expected =
        QStringLiteral("Comparing : ") + QString::fromStdString(gate.Notice().path);
    ASSERT_TRUE(QTest::qWaitFor([&] { return waiting->statusText() == expected; }, 5000));
    EXPECT_EQ(waiting->progressBar()->maximum(), 1000) << "a share of the bytes to hash";
    EXPECT_EQ(waiting->progressBar()->value(), 0);

    QTest::mouseClick(waiting->cancelButton(), Qt::LeftButton);
    gate.Release();
    ASSERT_TRUE(WaitForEnd());
    // The file announced was hashed, then the stop came: no group has both members.
    EXPECT_EQ(model.rows().rowCount(), 0);
    EXPECT_EQ(Summary(), "Files scanned: 30 , duplicates: 0 ");

    // The next run starts clean: no stale text, and it finds everything.
    controller.SetNoticeHook({});
    const QString staleText = waiting->statusText();
    StartSearch();
    EXPECT_TRUE(waiting->statusText().isEmpty()) << "was " << staleText.toStdString();
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(model.rows().rowCount(), 20);
    EXPECT_EQ(Summary(), "Files scanned: 30 , duplicates: 20 ");
}

TEST_F(SearchCancelTest, CancelWhileRowsAreAddedKeepsTheGroupsListed) {
    PlantGroups();
    controller.SetFillBatchRows(4);
    QSignalSpy engineDone(&controller, &SearchController::engineFinished);
    // Cancel is pressed as soon as the first batch is in.
    QObject::connect(&controller, &SearchController::rowsAdded, &controller, [this](int rows) {
        if (rows == 4) {
            QTest::mouseClick(controller.waitingDlg()->cancelButton(), Qt::LeftButton);
        }
    });
    StartSearch();
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(engineDone.count(), 1);
    EXPECT_EQ(QuestionsAsked(), 1);
    EXPECT_EQ(model.rows().rowCount(), 4);
    EXPECT_EQ(model.results().size(), 4u) << "records not listed leave the result copy";
    EXPECT_EQ(Summary(), "Files scanned: 30 , duplicates: 4 ");
    EXPECT_EQ(finished->count(), 1);
}

// The run ends while the question is open: answering OK then stops nothing and drops nothing.
TEST_F(SearchCancelTest, RunEndingDuringTheQuestionIsShownWhole) {
    PlantGroups();
    Gate& gate = HoldAt(ProgressNotice::Kind::Comparing);
    QSignalSpy engineDone(&controller, &SearchController::engineFinished);
    bool endedWhileAsking = false;
    prompts.whileAsking = [&] {
        gate.Release();
        endedWhileAsking = engineDone.wait(30000);
    };
    StartSearch();
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate.Reached(); }, 10000));
    QTest::mouseClick(controller.waitingDlg()->cancelButton(), Qt::LeftButton);
    ASSERT_TRUE(endedWhileAsking);
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(model.rows().rowCount(), 20);
    EXPECT_EQ(Summary(), "Files scanned: 30 , duplicates: 20 ");
    EXPECT_EQ(finished->count(), 1);
    EXPECT_TRUE(window.isEnabled());
}

// Closing the window mid-run (the program quitting) stops the run and waits for its thread.
TEST_F(SearchCancelTest, DestroyingTheWindowMidRunStopsTheEngine) {
    PlantGroups();
    KrelixDlgModel otherModel(tree.Path("other.dat"), std::make_unique<CVornex>(SkipFolders{}));
    auto other = std::make_unique<CKrelixDlg>(otherModel, prompts, CKrelixDlg::Dialogs{});
    other->searchCriteria()->includeList()->AddItem(Q(tree.Path("d")));
    // The engine waits here until something stops it.
    auto gate =
        std::make_shared<Gate>(ProgressNotice::Kind::Searching, &otherModel.engine().stopFlag);
    other->searchController()->SetNoticeHook(
        [gate](const ProgressNotice& n) { gate->OnNotice(n); });
    other->show();
    QTest::mouseClick(other->searchButton(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate->Reached(); }, 10000));
    const auto start = std::chrono::steady_clock::now();
    other.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(otherModel.engine().stopFlag.load(), 1);
}

// A box asked for by a disabled window goes to its enabled dialog, so it can be answered.
TEST(MessageBoxPrompts, BoxesOfADisabledWindowCanStillBeAnswered) {
    QWidget window;
    QDialog dialog(&window);
    window.show();
    dialog.show();
    window.setEnabled(false);
    dialog.setEnabled(true);
    MessageBoxPrompts prompts(&window);
    bool enabled = false;
    QWidget* owner = nullptr;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        enabled = box->isEnabled();
        owner = box->parentWidget();
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_TRUE(prompts.AskOkCancel(QStringLiteral("t"), QStringLiteral("q")));
    EXPECT_TRUE(enabled);
    EXPECT_EQ(owner, &dialog);
}

}  // namespace
}  // namespace krelix::test
