#include "app/search/search_request_builder.h"

#include <array>
#include <limits>

#include "engine/search_flags.h"
#include "engine/search_request.h"

namespace krelix {

std::optional<std::uint64_t> ParseSizeText(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return std::nullopt;
    }
    for (const QChar c : trimmed) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return std::nullopt;  // toULongLong would take "+1" and "0x10"
        }
    }
    bool ok = false;
    const qulonglong value = trimmed.toULongLong(&ok, 10);
    if (!ok) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(value);
}

std::uint64_t SizeInBytes(std::uint64_t value, int unitIndex) {
    static constexpr std::array<std::uint64_t, 4> kFactors{1, 1024, 1048576, 1073741824};
    const std::uint64_t factor =
        unitIndex >= 0 && unitIndex < static_cast<int>(kFactors.size()) ? kFactors[unitIndex] : 1;
    std::uint64_t bytes = 0;
    if (__builtin_mul_overflow(value, factor, &bytes)) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    return bytes;
}

bool SizeRangeIsEmpty(const SearchCriteriaValues& values) {
    return values.minSize.on && values.maxSize.on &&
           SizeInBytes(values.minSize.value, values.minSize.unitIndex) >
               SizeInBytes(values.maxSize.value, values.maxSize.unitIndex);
}

void BuildSearchRequest(const SearchCriteriaValues& values, const FileTypeCatalogue& catalogue,
                        SearchRequest& request) {
    request.ResetRequest();
    request.optionFlags = values.searchFlags;
    request.includeFolders.insert(values.includeFolders.begin(), values.includeFolders.end());
    request.excludeFolders.insert(values.excludeFolders.begin(), values.excludeFolders.end());
    if (values.minSize.on) {
        request.optionFlags |= FILTER_SIZE_RANGE;
        request.minSize = SizeInBytes(values.minSize.value, values.minSize.unitIndex);
    }
    if (values.maxSize.on) {
        request.optionFlags |= FILTER_SIZE_RANGE;
        request.maxSize = SizeInBytes(values.maxSize.value, values.maxSize.unitIndex);
    }
    SearchPatternSets patterns = catalogue.SearchPatterns(values.typeMode);
    request.includePatterns.insert(patterns.include.begin(), patterns.include.end());
    request.excludePatterns.insert(patterns.exclude.begin(), patterns.exclude.end());
}

}  // namespace krelix
