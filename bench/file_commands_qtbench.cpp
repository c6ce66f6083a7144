// The result commands on a million rows in a shown list: a selection rule, invert, the group
// count a destructive command asks about, removing half the rows; and deleting real files
// through the command, per file.
// Run: QT_QPA_PLATFORM=offscreen build/bench/file_commands_qtbench
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <QApplication>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/commands/selection_commands.h"
#include "app/results/mfc_list_ctrl_ex.h"
#include "app/results/result_removal.h"
#include "app/results/result_set.h"
#include "app/results/results_model.h"
#include "common/ui/prompts.h"
#include "operations/files/file_operations.h"
#include "operations/files/operation_progress.h"
#include "operations/files/trash.h"
#include "operations/ui/commands/file_operation_commands.h"

namespace {

constexpr int kRows = 1'000'000;

// Pairs of duplicates, times spread so that every rule has work to do.
void Fill(krelix::ResultSet& set, krelix::ResultsModel& model, int count) {
    std::vector<krelix::CFileItem*> rows;
    rows.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        krelix::CFileItem item;
        const int group = i / 2;
        const std::string name = "IMG_" + std::to_string(group) + ".jpg";
        item.path = std::string(i % 2 ? "/home/user/Backup/" : "/home/user/Pictures/") + name;
        item.size = 100000u + static_cast<std::uint64_t>(group);
        item.groupKey = std::to_string(item.size) + "89ABCDEF";
        item.modified = 1'700'000'000 + (std::int64_t{i} * 7919) % 1000;  // i * 7919 would overflow
        rows.push_back(set.Add(std::move(item)));
    }
    model.AppendRecords(rows);
    model.RestripeGroups();
}

void Settle() {
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
    }
}

struct ShownList {
    krelix::ResultSet set;
    krelix::ResultsModel model;
    krelix::CMFCListCtrlEx list;
    explicit ShownList(int rows) {
        list.resize(1000, 600);
        list.SetResultsModel(&model);
        Fill(set, model, rows);
        list.show();
        Settle();
    }
};

void BM_SelectOldest(benchmark::State& state) {
    ShownList shown(kRows);
    for (auto _ : state) {
        krelix::ApplySelectRule(shown.set, shown.model, krelix::SelectRule::SelectOldest);
        Settle();
    }
}
BENCHMARK(BM_SelectOldest)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_InvertSelection(benchmark::State& state) {
    ShownList shown(kRows);
    for (auto _ : state) {
        krelix::InvertSelection(shown.model);
        Settle();
    }
}
BENCHMARK(BM_InvertSelection)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_GroupsLeftWithoutCopy(benchmark::State& state) {
    ShownList shown(kRows);
    krelix::ApplySelectRule(shown.set, shown.model, krelix::SelectRule::SelectOldest);
    for (auto _ : state) {
        const std::vector<krelix::CFileItem*> checked = shown.model.CheckedRecords();
        const std::vector<krelix::CFileItem*> all = shown.model.RowRecords();
        const std::vector<const krelix::CFileItem*> listed(all.begin(), all.end());
        const std::vector<const krelix::CFileItem*> acted(checked.begin(), checked.end());
        benchmark::DoNotOptimize(krelix::GroupsLeftWithoutCopy(acted, listed));
    }
}
BENCHMARK(BM_GroupsLeftWithoutCopy)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_RemoveCheckedHalf(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto shown = std::make_unique<ShownList>(kRows);
        krelix::ApplySelectRule(shown->set, shown->model, krelix::SelectRule::SelectOldest);
        state.ResumeTiming();
        krelix::RemoveCheckedFiles(shown->set, shown->model);
        Settle();
        state.PauseTiming();
        shown.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RemoveCheckedHalf)->Unit(benchmark::kMillisecond)->Iterations(2);

class QuietPrompts final : public krelix::Prompts {
  public:
    void Inform(const QString&, const QString&, krelix::PromptIcon) override {}
    bool AskOkCancel(const QString&, const QString&) override { return true; }
    bool AskYesNo(const QString&, const QString&) override { return true; }
    QString ChooseFolder(const QString&, const QString&) override { return {}; }
    QString ChooseSaveFile(const QString&, const QString&, const QString&) override { return {}; }
};

class NoTrash final : public krelix::Trash {
  public:
    int MoveToTrash(const std::string&, std::string*) override { return ENOTSUP; }
};

// "Delete Checked Files Permanently" over 10,000 small files: the check and the delete, per file.
void BM_DeleteCheckedFiles(benchmark::State& state) {
    const int files = static_cast<int>(state.range(0));
    QuietPrompts prompts;
    NoTrash trash;
    krelix::NoProgress progress;
    krelix::FileOperationCommands commands(prompts, trash, progress);
    for (auto _ : state) {
        state.PauseTiming();
        char pattern[] = "/tmp/krelix-bench-XXXXXX";
        const std::string folder = std::string(::mkdtemp(pattern)) + "/";
        std::vector<krelix::CFileItem> records(static_cast<std::size_t>(files));
        std::vector<krelix::CFileItem*> checked;
        std::vector<const krelix::CFileItem*> listed;
        for (int i = 0; i < files; ++i) {
            krelix::CFileItem& item = records[static_cast<std::size_t>(i)];
            const std::string name = "f" + std::to_string(i);
            item.path = folder + name;
            std::ofstream(item.path) << "x";
            item.size = 1;
            struct stat status {};
            ::stat(item.path.c_str(), &status);
            item.modified = status.st_mtim.tv_sec;
            item.groupKey = std::to_string(i / 2);
            checked.push_back(&item);
            listed.push_back(&item);
        }
        checked.erase(checked.begin());  // one copy of the first group stays
        state.ResumeTiming();
        commands.DeleteChecked(checked, listed, {});
        state.PauseTiming();
        if (std::filesystem::exists(checked.back()->path)) {
            state.SkipWithError("files were not deleted");
        }
        std::filesystem::remove_all(folder);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * files);
}
BENCHMARK(BM_DeleteCheckedFiles)->Arg(10'000)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
