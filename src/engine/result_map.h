#pragma once

#include <boost/unordered_map.hpp>
#include <string>

#include "engine/file_item.h"

namespace krelix {

// Key text to record: the size text after the walk, the group key after the comparison.
using ResultMap = boost::unordered_multimap<std::string, CFileItem>;

}  // namespace krelix
