#pragma once

namespace krelix {

class FileTypeCatalogue;

// Appends the built-in table of 11 categories and 156 types, in its fixed order, all unchecked.
void AppendDefaultCatalogue(FileTypeCatalogue& catalogue);

}  // namespace krelix
