#include "app/search/hash_cache_clearing.h"

#include <ctime>
#include <filesystem>

#include "cache/hash_cache.h"
#include "common/ui/prompts.h"

namespace krelix {

void ClearHashCache(const std::string& path, Prompts& prompts) {
    if (!prompts.AskYesNo(TitleCaption(),
                          QStringLiteral("Clear the hash cache?\nThe next search reads every "
                                         "file again."))) {
        return;
    }
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        return;  // nothing kept yet
    }
    std::string notice;
    std::unique_ptr<HashCache> cache = HashCache::Open(path, std::time(nullptr), notice);
    if (!cache || !cache->Clear()) {
        prompts.Inform(TitleCaption(),
                       QStringLiteral("The hash cache could not be cleared.\n%1")
                           .arg(QString::fromStdString(notice)),
                       PromptIcon::Warning);
    }
}

}  // namespace krelix
