#include "catalogue/check_marks.h"

#include <algorithm>

#include "catalogue/file_category.h"

namespace krelix {

void CheckMarks::ToggleCategory(CFileCategory& category) {
    const bool mark = !category.IsChecked();
    category.SetChecked(mark);
    for (CFileType& type : category.Types()) {
        type.SetChecked(mark);
    }
}

void CheckMarks::ToggleType(CFileCategory& category, CFileType& type) {
    type.SetChecked(!type.IsChecked());
    const auto types = category.Types();
    category.SetChecked(
        std::all_of(types.begin(), types.end(), [](const CFileType& t) { return t.IsChecked(); }));
}

}  // namespace krelix
