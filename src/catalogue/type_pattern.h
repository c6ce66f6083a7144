#pragma once

#include <string>
#include <string_view>

namespace krelix {

// A pattern as typed in "File Type:", made into a wildcard pattern: a bare extension ("txt")
// gets "*." in front, an extension with its dot (".txt") gets "*", and anything else (a
// pattern starting with "*", a full file name) stays as typed. Empty stays empty: the editor
// refuses it.
std::u16string NormaliseTypePattern(std::u16string_view typed);

// The chooser's label of a type: the pattern in parentheses directly followed by the
// description, "(*.TXT)Plain Text File".
std::u16string TypeLabel(std::u16string_view pattern, std::u16string_view description);

}  // namespace krelix
