#include "catalogue/file_type_catalogue.h"

#include <unordered_set>

#include "catalogue/default_catalogue.h"
#include "common/text_case.h"

namespace krelix {

CFileCategory& FileTypeCatalogue::AddCategory(std::u16string_view name) {
    return categories_.emplace_back(name);
}

bool FileTypeCatalogue::RemoveCategory(const CFileCategory& category) {
    for (auto it = categories_.begin(); it != categories_.end(); ++it) {
        if (&*it == &category) {
            categories_.erase(it);
            return true;
        }
    }
    return false;
}

void FileTypeCatalogue::RestoreDefaultCatalogue() {
    Clear();
    AppendDefaultCatalogue(*this);
}

std::u16string FileTypeCatalogue::PatternText() const {
    std::u16string text;
    for (const CFileCategory& category : categories_) {
        for (const CFileType& type : category.Types()) {
            if (type.IsChecked()) {
                text += type.GetPattern();
                text += u';';
            }
        }
    }
    return text;
}

SearchPatternSets FileTypeCatalogue::SearchPatterns(TypeFilterMode mode) const {
    SearchPatternSets sets;
    if (categories_.empty()) {
        // "Search everything" must not become "*.*": that pattern wants a dot, and many Linux
        // files (Makefile, README, scripts) have none. No pattern lets every name pass.
        return sets;
    }
    std::vector<std::string>& target =
        mode == TypeFilterMode::Exclude ? sets.exclude : sets.include;
    std::unordered_set<std::string> seen;
    for (const CFileCategory& category : categories_) {
        for (const CFileType& type : category.Types()) {
            if (!type.IsChecked()) {
                continue;
            }
            std::string pattern = LowerCaseUtf8(type.PatternUtf8());
            if (seen.insert(pattern).second) {
                target.push_back(std::move(pattern));
            }
        }
    }
    return sets;
}

}  // namespace krelix
