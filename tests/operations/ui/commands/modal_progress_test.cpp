#include "operations/ui/commands/modal_progress.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <list>

#include "common/ui/prompts.h"
#include "operations/ui/commands/file_operation_commands.h"
#include "support/folder_trash.h"
#include "support/listed_record.h"
#include "support/temp_tree.h"

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

    // A slow command: one file done, and the box comes up once the minimum duration is over.
    ASSERT_TRUE(progress.Next(1, "/some/folder/file 1"));
    ASSERT_TRUE(QTest::qWaitFor([dialog] { return dialog->isVisible(); }, 5000));
    EXPECT_EQ(QStringLiteral("/some/folder/file 1"), dialog->labelText());

    dialog->cancel();
    EXPECT_FALSE(progress.Next(2, "/some/folder/next"));
    progress.End();
    EXPECT_EQ(nullptr, progress.dialog());
}

// A progress box, shown or waiting for its minimum duration to pass, would come over a question.
bool AProgressBoxExists() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QProgressDialog*>(widget) != nullptr) {
            return true;
        }
    }
    return false;
}

// Answers the message boxes of a running command, one per entry, as a user would: through the
// window system, so a box blocked by another modal window would never get the input.
class BoxAnswerer {
  public:
    using Answer = std::function<void(QMessageBox& box)>;

    explicit BoxAnswerer(std::list<Answer> answers) : answers_(std::move(answers)) {
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { Poll(); });
        timer_.start(10);
    }

    std::vector<QString> texts;
    int covered = 0;

  private:
    void Poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || answers_.empty() || busy_) {
            return;
        }
        busy_ = true;
        if (AProgressBoxExists()) {
            ++covered;
        }
        texts.push_back(box->text());
        answers_.front()(*box);
        answers_.pop_front();
        busy_ = false;
    }

    std::list<Answer> answers_;
    QTimer timer_;
    bool busy_ = false;
};

TEST(ModalProgress, BoxesDuringACommandCanBeAnsweredAndTheCommandGoesOn) {
    for (const int minimumDurationMs : {0, 50}) {  // box up before the question, or not yet
        test::TempTree tree;
        test::FolderTrash trash(tree.AddFolder("trash"));
        std::list<CFileItem> records;
        std::vector<CFileItem*> checked;
        for (const char* name : {"a", "b", "c", "kept"}) {
            tree.AddFile(name, "same");
            records.push_back(test::ListedRecord(tree.Path(name), "g1"));
            checked.push_back(&records.back());
        }
        checked.pop_back();
        trash.failures[tree.Path("a")] = EACCES;
        std::vector<const CFileItem*> listed(checked.begin(), checked.end());
        listed.push_back(&records.back());

        QWidget window;
        window.show();
        MessageBoxPrompts prompts(&window);
        ModalProgress progress(&window, minimumDurationMs);
        FileOperationCommands commands(prompts, trash, progress);
        BoxAnswerer answerer(
            {[](QMessageBox& box) { QTest::keyClick(box.windowHandle(), Qt::Key_Return); }});
        commands.RecycleChecked(checked, listed, {});

        EXPECT_EQ(0, answerer.covered) << minimumDurationMs;
        ASSERT_EQ(1u, answerer.texts.size()) << minimumDurationMs;
        EXPECT_TRUE(answerer.texts[0].startsWith("Failed to move the file " +
                                                 QString::fromStdString(tree.Path("a"))));
        EXPECT_EQ(trash.trashed, (std::vector<std::string>{tree.Path("b"), tree.Path("c")}))
            << minimumDurationMs;
        EXPECT_EQ(nullptr, progress.dialog());
    }
}

TEST(ModalProgress, CopyQuestionsAnsweredByKeyAndMouseDecideEachFile) {
    test::TempTree tree;
    std::list<CFileItem> records;
    std::vector<CFileItem*> checked;
    for (const char* name : {"a", "b", "c"}) {
        tree.AddFile(std::string("from/") + name, std::string("new ") + name);
        records.push_back(test::ListedRecord(tree.Path(std::string("from/") + name), "g1"));
        checked.push_back(&records.back());
    }
    tree.AddFile("to/a", "old a");
    tree.AddFile("to/b", "old b");

    QWidget window;
    window.show();
    // Real boxes; the folder chooser answers at once.
    class Prompts final : public krelix::Prompts {
      public:
        Prompts(QWidget* parent, QString folder) : boxes_(parent), folder_(std::move(folder)) {}
        void Inform(const QString& caption, const QString& text, PromptIcon icon) override {
            boxes_.Inform(caption, text, icon);
        }
        bool AskOkCancel(const QString& caption, const QString& text) override {
            return boxes_.AskOkCancel(caption, text);
        }
        bool AskYesNo(const QString& caption, const QString& text) override {
            return boxes_.AskYesNo(caption, text);
        }
        QString ChooseFolder(const QString&, const QString&) override { return folder_; }
        QString ChooseSaveFile(const QString&, const QString&, const QString&) override {
            return {};
        }

      private:
        MessageBoxPrompts boxes_;
        QString folder_;
    };
    Prompts prompts(&window, QString::fromStdString(tree.Path("to")));
    ModalProgress progress(&window, 50);
    test::FolderTrash trash(tree.AddFolder("trash"));
    FileOperationCommands commands(prompts, trash, progress);
    BoxAnswerer answerer({[](QMessageBox& box) {  // Return takes the default, No
                              QTest::keyClick(box.windowHandle(), Qt::Key_Return);
                          },
                          [](QMessageBox& box) {
                              QTest::mouseClick(box.button(QMessageBox::Yes), Qt::LeftButton);
                          }});
    commands.CopyChecked(checked);

    EXPECT_EQ(0, answerer.covered);
    EXPECT_EQ(2u, answerer.texts.size());
    EXPECT_EQ("old a", tree.Read("to/a"));
    EXPECT_EQ("new b", tree.Read("to/b"));
    EXPECT_EQ("new c", tree.Read("to/c"));
}

}  // namespace
}  // namespace krelix
