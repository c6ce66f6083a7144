#pragma once

#include <boost/range/iterator_range.hpp>
#include <list>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/file_category.h"

namespace krelix {

// Whether the checked types name the files to search or the files to leave out.
enum class TypeFilterMode { Include, Exclude };

// The patterns a search takes from the catalogue: UTF-8, lower case, each pattern once, in the
// order the catalogue first names them.
struct SearchPatternSets {
    std::vector<std::string> include;
    std::vector<std::string> exclude;
};

// The ordered list of file-type categories the user chooses from. Nothing ever sorts it: its
// order is the chooser's display order and the order in settings.dat. Categories live in a list
// so that a reference to one stays valid while others are added or removed. Copies copy every
// text and check mark. UI thread only.
class FileTypeCatalogue {
  public:
    using CategoryList = std::list<CFileCategory>;
    using CategoryRange = boost::iterator_range<CategoryList::iterator>;
    using ConstCategoryRange = boost::iterator_range<CategoryList::const_iterator>;

    // Appends an unchecked category without types.
    CFileCategory& AddCategory(std::u16string_view name);
    // Removes the category with all its types; false when it is not in this catalogue.
    bool RemoveCategory(const CFileCategory& category);
    void Clear() { categories_.clear(); }

    // Empties the catalogue and fills it with the built-in table, nothing checked.
    void RestoreDefaultCatalogue();

    CategoryRange Categories() { return {categories_.begin(), categories_.end()}; }
    ConstCategoryRange Categories() const { return {categories_.begin(), categories_.end()}; }
    std::size_t CategoryCount() const { return categories_.size(); }
    bool IsEmpty() const { return categories_.empty(); }

    // Every checked type's pattern followed by ";", in catalogue order, repeats kept; empty when
    // nothing is checked. Category marks play no part.
    std::u16string PatternText() const;

    // An empty catalogue (no category at all) searches everything: both sets stay empty in
    // either mode. Otherwise the checked types' patterns go to include or exclude by mode; with
    // nothing checked both stay empty, which lets every file pass.
    SearchPatternSets SearchPatterns(TypeFilterMode mode) const;

  private:
    CategoryList categories_;
};

}  // namespace krelix
