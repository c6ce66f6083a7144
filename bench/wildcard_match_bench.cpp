// Cost of the pattern rule per file: matching decoded names, lower-casing, and a whole
// catalogue-sized pattern set.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "engine/case_folder.h"
#include "engine/name_matcher.h"
#include "engine/wildcard_match.h"

namespace krelix {
namespace {

std::vector<std::string> SampleNames() {
    const char* stems[] = {"IMG_", "holiday photo ", "Übersicht-", "report.final.", "file"};
    const char* extensions[] = {".jpg", ".JPEG", ".txt", ".mp3", ".tar.gz", ""};
    std::vector<std::string> names;
    for (int i = 0; i < 200; ++i) {
        names.push_back(std::string(stems[i % 5]) + std::to_string(i * 7919) + extensions[i % 6]);
    }
    return names;
}

void BM_WildcardMatch(benchmark::State& state, const char* pattern) {
    const CaseFolder folder;
    std::vector<std::u32string> names;
    for (const std::string& name : SampleNames()) {
        names.push_back(folder.Lower(name));
    }
    const std::u32string decoded = CaseFolder::Decode(pattern);
    for (auto _ : state) {
        for (const std::u32string& name : names) {
            benchmark::DoNotOptimize(WildcardMatch(decoded, name));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(names.size()));
}
BENCHMARK_CAPTURE(BM_WildcardMatch, suffix, "*.jpg");
BENCHMARK_CAPTURE(BM_WildcardMatch, any_extension, "*.*");
BENCHMARK_CAPTURE(BM_WildcardMatch, question_mark, "file?????.txt");
BENCHMARK_CAPTURE(BM_WildcardMatch, two_stars, "img*1*jpg");
BENCHMARK_CAPTURE(BM_WildcardMatch, last_dot, "report<.gz");

void BM_LowerName(benchmark::State& state) {
    const CaseFolder folder;
    const std::vector<std::string> names = SampleNames();
    for (auto _ : state) {
        for (const std::string& name : names) {
            benchmark::DoNotOptimize(folder.Lower(name));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(names.size()));
}
BENCHMARK(BM_LowerName);

// A picture category of a catalogue: the walk's cost per file that reaches the patterns.
void BM_NameMatcherKeeps(benchmark::State& state) {
    const NameMatcher matcher({"*.jpg", "*.jpeg", "*.png", "*.gif", "*.bmp", "*.tif", "*.tiff",
                               "*.webp", "*.heic", "*.raw", "*.cr2", "*.nef", "*.svg", "*.ico"},
                              {});
    const std::vector<std::string> names = SampleNames();
    for (auto _ : state) {
        for (const std::string& name : names) {
            benchmark::DoNotOptimize(matcher.Keeps(name));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(names.size()));
}
BENCHMARK(BM_NameMatcherKeeps);

}  // namespace
}  // namespace krelix

BENCHMARK_MAIN();
