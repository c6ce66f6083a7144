#pragma once

#include <cstdint>
#include <string>

namespace krelix {

// The generated part of a new name, by index of the bulk rename dialog's list.
enum class ParameterKind : std::int32_t {
    IncrementNumber = 0,  // the counter's next value
    RandomNumber = 1,     // a random 32-bit value, signed decimal
    DateTime = 2,         // "%Y%m%d%H%M%S", local time
    Date = 3,             // "%Y%m%d"
    Time = 4,             // "%H%M%S"
};

enum class ExtensionChoice : std::int32_t { Unchanged = 0, Custom = 1 };

// The bulk rename dialog's fields: how each new name is put together. Texts are file name
// bytes (the dialog encodes what the user typed with the file system's encoding).
struct BulkRenameFields {
    bool prefixIncluded = false;
    std::string prefix;
    bool fileNameIncluded = false;
    bool parameterIncluded = false;
    ParameterKind parameterKind = ParameterKind::IncrementNumber;  // the kind kept at OK
    bool suffixIncluded = false;
    std::string suffix;
    ExtensionChoice extensionChoice = ExtensionChoice::Unchanged;
    std::string customExtension;

    bool operator==(const BulkRenameFields&) const = default;
};

}  // namespace krelix
