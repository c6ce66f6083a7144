// How long a hard-link replacement leaves each of its steps unguarded: from the last check to the
// swap of the names (a write there is caught by the check after the swap), and from that check
// to the removal of the target's old file (a write there, through a descriptor opened before,
// goes with the old file). Reported as counters in microseconds, mean over the iterations.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "operations/links/link_replacement.h"
#include "platform/file_identity.h"

namespace {

using Clock = std::chrono::steady_clock;

krelix::CFileItem Listed(const std::string& path) {
    std::ofstream(path, std::ios::binary) << std::string(4096, 'w');
    struct stat status {};
    ::lstat(path.c_str(), &status);
    krelix::CFileItem item;
    item.path = path;
    item.size = static_cast<std::uint64_t>(status.st_size);
    item.identity = krelix::IdentityOf(status);
    item.groupKey = "4096ABCDEF01";
    return item;
}

void BM_HardLinkSteps(benchmark::State& state) {
    char pattern[] = "/var/tmp/krelix-link-window-XXXXXX";
    const std::string folder = ::mkdtemp(pattern);
    const krelix::CFileItem kept = Listed(folder + "/kept");
    Clock::time_point at[4];
    krelix::LinkSeams seams;
    seams.at = [&](krelix::LinkStep step) { at[static_cast<int>(step)] = Clock::now(); };
    const auto micros = [&](krelix::LinkStep from, krelix::LinkStep to) {
        return std::chrono::duration<double, std::micro>(at[static_cast<int>(to)] -
                                                         at[static_cast<int>(from)])
            .count();
    };
    double toSwap = 0, toRemoval = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const krelix::CFileItem target = Listed(folder + "/target");
        state.ResumeTiming();
        krelix::ReplaceWithLink(kept, target, krelix::LinkKind::HardLink, krelix::LinkRun::Replace,
                                nullptr, &seams);
        toSwap += micros(krelix::LinkStep::LastCheckDone, krelix::LinkStep::Swapped);
        toRemoval += micros(krelix::LinkStep::Confirmed, krelix::LinkStep::OldFileRemoved);
        state.PauseTiming();
        ::unlink(target.path.c_str());
        state.ResumeTiming();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["check_to_swap_us"] = toSwap / n;
    state.counters["confirmed_to_removed_us"] = toRemoval / n;
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_HardLinkSteps)->Iterations(2000);

}  // namespace

BENCHMARK_MAIN();
