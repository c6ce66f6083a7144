// The results list with a million rows: filling the result copy, inserting the rows into the
// list in one batch (shown, offscreen), sorting by a column, and what a row costs in memory.
// Run: QT_QPA_PLATFORM=offscreen build/bench/results_list_qtbench
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/results/mfc_list_ctrl_ex.h"
#include "app/results/result_set.h"
#include "app/results/results_model.h"
#include "app/results/use_sh_get_file_info.h"

namespace {

constexpr int kRows = 1'000'000;
const char* const kExtensions[] = {".jpg", ".png", ".pdf", ".mp3", ".txt", ".tar.gz", ".odt"};

// Resident memory in bytes.
long long Resident() {
    std::ifstream statm("/proc/self/statm");
    long long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * 4096;
}

// Pairs of duplicates with paths of a typical length (about 50 bytes).
void FillRecords(krelix::ResultSet& set, std::vector<krelix::CFileItem*>& rows, int count) {
    rows.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        krelix::CFileItem item;
        const int group = i / 2;
        const std::string name = "IMG_" + std::to_string(group) + kExtensions[group % 7];
        item.path =
            std::string(i % 2 ? "/home/user/Backup/Pictures/2023/" : "/home/user/Pictures/2023/") +
            name;
        item.size = 100000u + static_cast<std::uint64_t>(group) * 7u;
        item.groupKey = std::to_string(item.size) + "89ABCDEF";
        item.modified = 1'700'000'000 + i;
        rows.push_back(set.Add(std::move(item)));
    }
}

void Settle() {
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
    }
}

void BM_FillResultCopy(benchmark::State& state) {
    for (auto _ : state) {
        krelix::ResultSet set;
        std::vector<krelix::CFileItem*> rows;
        FillRecords(set, rows, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(rows.data());
        state.PauseTiming();
        set.Clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_FillResultCopy)
    ->Arg(100'000)
    ->Arg(kRows)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

// Rows into a shown list in one insertion, striped, and painted once.
void BM_InsertRowsIntoShownList(benchmark::State& state) {
    krelix::ResultSet set;
    std::vector<krelix::CFileItem*> records;
    FillRecords(set, records, static_cast<int>(state.range(0)));
    krelix::CUseShGetFileInfo icons;
    for (auto _ : state) {
        state.PauseTiming();
        auto model = std::make_unique<krelix::ResultsModel>();
        model->SetColourMarking(true);
        model->SetFontMarking(true);
        model->SetIconProvider(&icons);
        krelix::CMFCListCtrlEx list;
        list.resize(1000, 600);
        list.SetResultsModel(model.get());
        list.show();
        Settle();
        state.ResumeTiming();

        model->AppendRecords(records);
        model->RestripeGroups();
        Settle();
        list.repaint();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_InsertRowsIntoShownList)
    ->Arg(100'000)
    ->Arg(kRows)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

void BM_SortByColumn(benchmark::State& state) {
    krelix::ResultSet set;
    std::vector<krelix::CFileItem*> records;
    FillRecords(set, records, kRows);
    krelix::ResultsModel model;
    krelix::CMFCListCtrlEx list;
    list.SetResultsModel(&model);
    model.AppendRecords(records);
    list.show();
    Settle();
    const int column = static_cast<int>(state.range(0));
    Qt::SortOrder order = Qt::DescendingOrder;
    for (auto _ : state) {
        order = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
        list.sortByColumn(column, order);
        Settle();
    }
    state.SetLabel(
        model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString().toStdString());
}
BENCHMARK(BM_SortByColumn)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_SortModelAlone(benchmark::State& state) {
    krelix::ResultSet set;
    std::vector<krelix::CFileItem*> records;
    FillRecords(set, records, kRows);
    krelix::ResultsModel model;
    model.AppendRecords(records);
    const int column = static_cast<int>(state.range(0));
    Qt::SortOrder order = Qt::DescendingOrder;
    for (auto _ : state) {
        order = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
        model.sort(column, order);
    }
}
BENCHMARK(BM_SortModelAlone)->DenseRange(3, 3)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_Restripe(benchmark::State& state) {
    krelix::ResultSet set;
    std::vector<krelix::CFileItem*> records;
    FillRecords(set, records, kRows);
    krelix::ResultsModel model;
    model.AppendRecords(records);
    for (auto _ : state) {
        model.RestripeGroups();
    }
}
BENCHMARK(BM_Restripe)->Unit(benchmark::kMillisecond)->Iterations(2);

// What the view pays per painted row for its icon: the type by name, then the cache.
void BM_IconForName(benchmark::State& state) {
    krelix::CUseShGetFileInfo icons;
    const QString names[] = {QStringLiteral("a.jpg"), QStringLiteral("b.tar.gz"),
                             QStringLiteral("c.pdf"), QStringLiteral("README"),
                             QStringLiteral("d.unknownext")};
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(icons.IconForName(names[i++ % 5]));
    }
}
BENCHMARK(BM_IconForName);

// Memory of a million rows: the records of the result copy, then the rows of a shown list.
void ReportMemory() {
    const long long start = Resident();
    auto set = std::make_unique<krelix::ResultSet>();
    std::vector<krelix::CFileItem*> records;
    FillRecords(*set, records, kRows);
    // The pointers the benchmark keeps to hand the rows over are neither result copy nor list.
    const long long handOver = static_cast<long long>(records.capacity() * sizeof(records[0]));
    const long long afterRecords = Resident() - handOver;
    auto model = std::make_unique<krelix::ResultsModel>();
    auto list = std::make_unique<krelix::CMFCListCtrlEx>();
    list->SetResultsModel(model.get());
    list->show();
    model->AppendRecords(records);
    model->RestripeGroups();
    Settle();
    const long long afterRows = Resident() - handOver;
    std::printf(
        "memory per row: record in the result copy %.0f bytes, list row %.0f bytes, "
        "total %.0f bytes (%d rows, resident %.0f MiB)\n",
        double(afterRecords - start) / kRows, double(afterRows - afterRecords) / kRows,
        double(afterRows - start) / kRows, kRows, double(afterRows) / (1 << 20));
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    ReportMemory();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
