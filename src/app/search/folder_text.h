#pragma once

#include <QString>
#include <optional>
#include <string>

namespace krelix {

// A folder as typed or chosen in a folder list, made into the form the walk compares: native
// bytes, absolute, lexically normal ("//", "." and ".." folded, symbolic links kept as named),
// letter case kept, ending with "/". A leading "~" or "~/" stands for the home folder. Nothing
// when the text is relative, names nothing, or names something that is not a folder.
std::optional<std::string> NormaliseFolderText(const QString& text);

}  // namespace krelix
