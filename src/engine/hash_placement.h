#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/task_runner.h"

namespace krelix {

enum class HashPlace { Inline, Pool };

// Where a batch of hash work goes: to the pool while its queue is short, else the search thread
// hashes the batch itself, which keeps all threads busy and slows the visit to the workers' pace.
HashPlace ChooseHashPlace(const TaskRunner& runner);

// Batches waiting for a worker: two per worker, so that a worker never waits for the next one.
inline constexpr std::size_t kQueueLimit = 4;
// A batch of the first stage: this many files, whose first blocks are asked for together.
inline constexpr std::size_t kFirstStageBatchFiles = 32;
// A batch of the second stage ends when it holds this many bytes still to read, or this many
// files; a file larger than that is a batch of its own.
inline constexpr std::uint64_t kRestBatchBytes = 8 * 1024 * 1024;
inline constexpr std::size_t kRestBatchFiles = 32;

}  // namespace krelix
