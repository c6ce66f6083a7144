// Filling the shown results list when a run ends: N duplicate rows (pairs) handed over at once,
// added to the result copy, listed in batches with their shading, and the summary. Wall time
// from the hand-over to the end of the run, the window shown (offscreen).
// Run: QT_QPA_PLATFORM=offscreen build/bench/search_fill_qtbench
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "app/search/search_controller.h"
#include "app/state/krelix_dlg_model.h"
#include "app/window/krelix_dlg.h"
#include "common/ui/prompts.h"

namespace {

class SilentPrompts final : public krelix::Prompts {
  public:
    void Inform(const QString&, const QString&, krelix::PromptIcon) override {}
    bool AskOkCancel(const QString&, const QString&) override { return false; }
    bool AskYesNo(const QString&, const QString&) override { return false; }
    QString ChooseFolder(const QString&, const QString&) override { return {}; }
    QString ChooseSaveFile(const QString&, const QString&, const QString&) override { return {}; }
};

std::vector<krelix::CFileItem> Pairs(int rows) {
    std::vector<krelix::CFileItem> records;
    records.reserve(static_cast<std::size_t>(rows));
    for (int i = 0; i < rows; ++i) {
        krelix::CFileItem item;
        const int group = i / 2;
        const std::string name = "IMG_" + std::to_string(group) + ".jpg";
        item.path =
            std::string(i % 2 ? "/home/user/Backup/Pictures/2023/" : "/home/user/Pictures/2023/") +
            name;
        item.size = 100000u + static_cast<std::uint64_t>(group) * 7u;
        item.groupKey = std::to_string(item.size) + "89ABCDEF";
        item.modified = 1'700'000'000 + i;
        records.push_back(std::move(item));
    }
    return records;
}

void BM_FillResultsAtRunEnd(benchmark::State& state) {
    QTemporaryDir dir;
    krelix::KrelixDlgModel model(dir.filePath(QStringLiteral("settings.dat")).toStdString());
    SilentPrompts prompts;
    krelix::CKrelixDlg window(model, prompts, krelix::CKrelixDlg::Dialogs{});
    window.resize(1200, 800);
    window.show();
    QApplication::processEvents();
    krelix::SearchController* controller = window.searchController();
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<krelix::CFileItem> records = Pairs(static_cast<int>(state.range(0)));
        QEventLoop done;
        QObject::connect(controller, &krelix::SearchController::searchFinished, &done,
                         &QEventLoop::quit);
        state.ResumeTiming();
        controller->ShowOutcome(std::move(records), static_cast<std::int32_t>(state.range(0)));
        if (controller->phase() != krelix::SearchController::Phase::Idle) {
            done.exec();
        }
        QApplication::processEvents();  // the list paints its first screen
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FillResultsAtRunEnd)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
