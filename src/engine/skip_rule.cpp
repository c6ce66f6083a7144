#include "engine/skip_rule.h"

#include "engine/search_flags.h"

namespace krelix {

std::uint32_t SkipRuleFlag(SkipRule rule) {
    switch (rule) {
        case SkipRule::ExcludedFolder:
            return 0;
        case SkipRule::TemporaryFolder:
        case SkipRule::CacheFolder:
            return SKIP_TEMP_FILES;
        case SkipRule::SystemFolder:
            return SKIP_SYSTEM_FILES;
        case SkipRule::OperatingSystemFolder:
            return SKIP_WINDOWS_FOLDER;
        case SkipRule::ApplicationFolder:
            return SKIP_APP_FOLDERS;
        case SkipRule::RecycleBin:
            return SKIP_RECYCLE_BIN;
        case SkipRule::HiddenFolder:
            return SKIP_HIDDEN_FOLDERS;
        case SkipRule::Compressed:
            return SKIP_COMPRESSED_FILES;
    }
    return 0;
}

const char* SkipRuleReason(SkipRule rule) {
    switch (rule) {
        case SkipRule::ExcludedFolder:
            return "it is also a folder to exclude";
        case SkipRule::TemporaryFolder:
            return "it lies in a temporary folder";
        case SkipRule::CacheFolder:
            return "it lies in the cache folder";
        case SkipRule::SystemFolder:
            return "it lies in a system folder";
        case SkipRule::OperatingSystemFolder:
            return "it lies in an operating-system folder";
        case SkipRule::ApplicationFolder:
            return "it lies in an application folder";
        case SkipRule::RecycleBin:
            return "it lies in the trash";
        case SkipRule::HiddenFolder:
            return "it is a hidden folder";
        case SkipRule::Compressed:
            return "it is stored compressed";
    }
    return "";
}

}  // namespace krelix
