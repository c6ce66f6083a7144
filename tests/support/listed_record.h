#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "engine/file_item.h"

namespace krelix::test {

// The identity a walk would record for the file at path now.
inline FileIdentity IdentityOfPath(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(0, ::lstat(path.c_str(), &status)) << path;
    return IdentityOf(status);
}

// The record a search would list for the file at path now, in the given group.
inline CFileItem ListedRecord(const std::string& path, const std::string& groupKey) {
    struct stat status {};
    EXPECT_EQ(0, ::lstat(path.c_str(), &status)) << path;
    CFileItem item;
    item.path = path;
    item.size = static_cast<std::uint64_t>(status.st_size);
    item.modified = status.st_mtim.tv_sec;
    item.identity = IdentityOf(status);
    item.groupKey = groupKey;
    return item;
}

}  // namespace krelix::test
