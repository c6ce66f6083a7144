#pragma once

#include <boost/range/iterator_range.hpp>
#include <list>
#include <string>
#include <string_view>
#include <utility>

#include "catalogue/catalogue_text.h"
#include "catalogue/file_type.h"

namespace krelix {

// A named category of file types, in insertion order. Types live in a list so that a reference
// to one (the chooser's tree keeps them) stays valid while others are added or removed.
class CFileCategory {
  public:
    using TypeList = std::list<CFileType>;
    using TypeRange = boost::iterator_range<TypeList::iterator>;
    using ConstTypeRange = boost::iterator_range<TypeList::const_iterator>;

    CFileCategory() = default;
    explicit CFileCategory(std::u16string_view name) : name_(name) {}

    const std::u16string& GetName() const { return name_.Wide(); }
    void SetName(std::u16string_view name) { name_.Set(name); }
    const std::string& NameUtf8() const { return name_.Utf8(); }
    void SetNameUtf8(std::string name) { name_.SetUtf8(std::move(name)); }

    // The category's own mark; searches look only at the types' marks.
    bool IsChecked() const { return checked_; }
    void SetChecked(bool checked) { checked_ = checked; }

    // Appends an unchecked type.
    CFileType& AddType(std::u16string_view pattern, std::u16string_view description);
    // Removes the type if it belongs to this category; false when it does not.
    bool RemoveType(const CFileType& type);

    TypeRange Types() { return {types_.begin(), types_.end()}; }
    ConstTypeRange Types() const { return {types_.begin(), types_.end()}; }
    std::size_t TypeCount() const { return types_.size(); }

  private:
    CatalogueText name_;
    TypeList types_;
    bool checked_ = false;
};

}  // namespace krelix
