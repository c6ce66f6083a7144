// ComputeFileCrc on files already in the page cache: the cost of hashing a candidate, chunking and
// system calls included, beside the bare CRC-32 of the same bytes in memory.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

#include "engine/file_crc.h"

namespace {

std::string Content(std::int64_t size) {
    std::string bytes(static_cast<std::size_t>(size), '\0');
    std::uint32_t x = 2463534242u;
    for (char& c : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x);
    }
    return bytes;
}

// One temporary file per size, removed at exit.
const std::string& FileOfSize(std::int64_t size) {
    static std::map<std::int64_t, std::string> files;
    auto it = files.find(size);
    if (it == files.end()) {
        std::string path = "/tmp/krelix-crc-bench-XXXXXX";
        const int fd = mkstemp(path.data());
        if (fd < 0) {
            std::perror("mkstemp");
            std::exit(1);
        }
        close(fd);
        std::ofstream(path, std::ios::binary) << Content(size);
        it = files.emplace(size, path).first;
        static bool registered = false;
        if (!registered) {
            registered = true;
            std::atexit([] {
                for (const auto& entry : files) {
                    std::remove(entry.second.c_str());
                }
            });
        }
    }
    return it->second;
}

void BM_ComputeFileCrc(benchmark::State& state) {
    const std::int64_t size = state.range(0);
    const std::string& path = FileOfSize(size);
    std::atomic<std::int32_t> stop{0};
    for (auto _ : state) {
        auto crc = krelix::ComputeFileCrc(path, static_cast<std::uint64_t>(size), stop);
        if (!crc) {
            state.SkipWithError("hashing failed");
            break;
        }
        benchmark::DoNotOptimize(crc);
    }
    state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_ComputeFileCrc)->Arg(4 << 10)->Arg(64 << 10)->Arg(2'000'000)->Arg(64 << 20);

void BM_CrcTextInMemory(benchmark::State& state) {
    const std::string bytes = Content(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(krelix::CrcTextOf(bytes));
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CrcTextInMemory)->Arg(4 << 10)->Arg(64 << 20);

}  // namespace

BENCHMARK_MAIN();
