#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "app/search/folder_list_box.h"
#include "app/search/search_controller.h"
#include "app/search/search_criteria.h"
#include "app/search/waiting_dlg.h"
#include "app/state/krelix_dlg_model.h"
#include "app/window/krelix_dlg.h"
#include "engine/vornex.h"
#include "support/fake_prompts.h"
#include "support/temp_tree.h"

namespace krelix::test {

// FakePrompts, with a hook that runs inside the Cancel question before it is answered.
class HookedPrompts final : public Prompts {
  public:
    FakePrompts fake;
    std::function<void()> whileAsking;

    void Inform(const QString& caption, const QString& text, PromptIcon icon) override {
        fake.Inform(caption, text, icon);
    }
    bool AskOkCancel(const QString& caption, const QString& text) override {
        if (whileAsking) {
            whileAsking();
        }
        return fake.AskOkCancel(caption, text);
    }
    bool AskYesNo(const QString& caption, const QString& text) override {
        return fake.AskYesNo(caption, text);
    }
    QString ChooseFolder(const QString& title, const QString& start) override {
        return fake.ChooseFolder(title, start);
    }
    QString ChooseSaveFile(const QString& title, const QString& start,
                           const QString& filter) override {
        return fake.ChooseSaveFile(title, start, filter);
    }
};

// Holds the engine's thread at the first notice of one kind until released (or 20 s pass), so a
// test can act at an exact point of a run.
class Gate {
  public:
    // With a stop flag the gate also opens once the flag is set.
    // With `accepts` it holds only at a notice of the kind that it accepts.
    explicit Gate(ProgressNotice::Kind kind, const std::atomic<std::int32_t>* stopFlag = nullptr,
                  std::function<bool(const ProgressNotice&)> accepts = {})
        : kind_(kind), stopFlag_(stopFlag), accepts_(std::move(accepts)) {}

    void OnNotice(const ProgressNotice& notice) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (notice.kind != kind_ || reached_ || (accepts_ && !accepts_(notice))) {
            return;
        }
        reached_ = true;
        notice_ = notice;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!open_ && std::chrono::steady_clock::now() < deadline) {
            if (stopFlag_ != nullptr && stopFlag_->load() != 0) {
                return;
            }
            released_.wait_for(lock, std::chrono::milliseconds(5), [this] { return open_; });
        }
    }
    bool Reached() {
        std::lock_guard<std::mutex> lock(mutex_);
        return reached_;
    }
    ProgressNotice Notice() {
        std::lock_guard<std::mutex> lock(mutex_);
        return notice_;
    }
    void Release() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            open_ = true;
        }
        released_.notify_all();
    }

  private:
    const ProgressNotice::Kind kind_;
    const std::atomic<std::int32_t>* stopFlag_;
    const std::function<bool(const ProgressNotice&)> accepts_;
    std::mutex mutex_;
    std::condition_variable released_;
    bool reached_ = false;
    bool open_ = false;
    ProgressNotice notice_;
};

// A main window on a real temporary tree, searching with an engine that skips no system folder
// (the tree lives in the temporary folder).
class SearchFixture : public ::testing::Test {
  protected:
    SearchFixture() : SearchFixture([](const TempTree&) { return SkipFolders{}; }) {}
    explicit SearchFixture(EngineOptions options)
        : SearchFixture([](const TempTree&) { return SkipFolders{}; }, std::move(options)) {}
    // An engine that skips the folders the function names (in the tree, which exists by then).
    explicit SearchFixture(const std::function<SkipFolders(const TempTree&)>& skip,
                           EngineOptions options = {})
        : model(tree.Path("settings.dat"),
                std::make_unique<CVornex>(skip(tree), std::move(options))),
          window(model, prompts, CKrelixDlg::Dialogs{}),
          controller(*window.searchController()) {
        window.show();
        QApplication::processEvents();
    }
    ~SearchFixture() override {
        if (gate_) {
            gate_->Release();
        }
    }

    static QString Q(const std::string& text) { return QString::fromStdString(text); }

    void Include(const std::string& path) {
        window.searchCriteria()->includeList()->AddItem(Q(path));
    }
    void Exclude(const std::string& path) {
        window.searchCriteria()->excludeList()->AddItem(Q(path));
    }

    // Holds the next run at the first notice of the kind.
    Gate& HoldAt(ProgressNotice::Kind kind) {
        gate_ = std::make_shared<Gate>(kind);
        controller.SetNoticeHook([gate = gate_](const ProgressNotice& n) { gate->OnNotice(n); });
        return *gate_;
    }

    // Presses Search; true when the run ended with its summary within the time.
    bool SearchAndWait() {
        QSignalSpy finished(&controller, &SearchController::searchFinished);
        QTest::mouseClick(window.searchButton(), Qt::LeftButton);
        return !finished.isEmpty() || finished.wait(30000);
    }

    // Group key to the listed paths, and the groups in row order.
    std::map<std::string, std::set<std::string>> Groups() {
        std::map<std::string, std::set<std::string>> groups;
        for (const CFileItem* record : model.rows().RowRecords()) {
            groups[record->groupKey].insert(record->path);
        }
        return groups;
    }
    std::set<std::set<std::string>> GroupPaths() {
        std::set<std::set<std::string>> paths;
        for (const auto& [key, members] : Groups()) {
            paths.insert(members);
        }
        return paths;
    }
    std::string Summary() const { return window.statusLine()->text().toStdString(); }

    TempTree tree;
    HookedPrompts prompts;
    KrelixDlgModel model;
    CKrelixDlg window;
    SearchController& controller;

  private:
    std::shared_ptr<Gate> gate_;
};

}  // namespace krelix::test
