#pragma once

#include <cstdint>
#include <string>

namespace krelix {

// The rule that kept a start folder from being searched.
enum class SkipRule : std::uint8_t {
    ExcludedFolder,         // the start folder is also an excluded folder
    TemporaryFolder,        // SKIP_TEMP_FILES
    CacheFolder,            // SKIP_TEMP_FILES
    SystemFolder,           // SKIP_SYSTEM_FILES
    OperatingSystemFolder,  // SKIP_WINDOWS_FOLDER
    ApplicationFolder,      // SKIP_APP_FOLDERS
    RecycleBin,             // SKIP_RECYCLE_BIN
    HiddenFolder,           // SKIP_HIDDEN_FOLDERS
    Compressed,             // SKIP_COMPRESSED_FILES
};

struct SkippedStartFolder {
    std::string folder;  // as walked: ending with "/"
    SkipRule rule = SkipRule::ExcludedFolder;
    friend bool operator==(const SkippedStartFolder&, const SkippedStartFolder&) = default;
};

// The settings bit behind the rule; 0 for ExcludedFolder, which no setting controls.
std::uint32_t SkipRuleFlag(SkipRule rule);

// Why the folder was left out, as the end of a sentence: "it lies in a temporary folder".
const char* SkipRuleReason(SkipRule rule);

}  // namespace krelix
