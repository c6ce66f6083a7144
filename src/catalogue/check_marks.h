#pragma once

namespace krelix {

class CFileCategory;
class CFileType;

// How one user action on a check box spreads through the two-level catalogue tree: the item's
// mark is inverted, its descendants take the new mark, and each ancestor is then marked exactly
// when all of its children are. The marks live in the entries themselves, so the chooser's tree
// only mirrors them.
class CheckMarks {
  public:
    // A category's box: the category and every type in it take the inverted mark.
    static void ToggleCategory(CFileCategory& category);
    // A type's box (the type belongs to category): the type's mark is inverted, then the
    // category is marked exactly when all of its types are.
    static void ToggleType(CFileCategory& category, CFileType& type);
};

}  // namespace krelix
