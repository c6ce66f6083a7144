#pragma once

#include <cstdint>

#include "engine/task_runner.h"

namespace krelix {

enum class HashPlace { Inline, Pool };

// Where a candidate of the given size is hashed. Small files stay on the search thread; larger
// ones go to the pool only while its queue is short, so that a long queue makes the search
// thread hash the file itself and slows the visit to the workers' pace. The pending count is
// read afresh for the second test, also after a large file failed the first.
HashPlace ChooseHashPlace(std::uint64_t size, const TaskRunner& runner);

inline constexpr std::uint64_t kInlineHashLimit = 2'000'000;
inline constexpr std::uint64_t kLargeFileLimit = 10'000'000;
inline constexpr std::size_t kLargeFileQueueLimit = 12;
inline constexpr std::size_t kQueueLimit = 6;

}  // namespace krelix
