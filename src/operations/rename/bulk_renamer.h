#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "operations/rename/bulk_rename_fields.h"

namespace krelix {

// A file name cut at its last ".": "archive.tar.gz" is "archive.tar" and ".gz". A name
// without a dot is all base name and has no extension, so a rule that keeps the extension
// leaves such a name without one.
struct NameParts {
    std::string_view base;
    std::string_view extension;  // with its dot, or empty
};
NameParts SplitName(std::string_view name);

// Builds new names by the bulk rename rule. Owns the number counter, which restarts with
// every bulk rename. UI thread only.
class BulkRenamer {
  public:
    // Where random numbers and the time come from; tests fix them.
    struct Sources {
        std::function<std::optional<std::uint32_t>()> random;  // nullopt when the source fails
        std::function<std::int64_t()> now;                     // seconds since 1970 UTC
    };
    static Sources SystemSources();  // std::random_device and the system clock

    BulkRenamer();
    explicit BulkRenamer(Sources sources);

    // The first name built after this gets number 1.
    void RestartCounter() { counter_ = 0; }
    std::uint64_t counter() const { return counter_; }
    void setCounter(std::uint64_t counter) { counter_ = counter; }

    // prefix, base name, parameter, suffix, extension, each when chosen. Advances the
    // counter for an increment number. A custom extension typed as "*.ext" is stored back
    // into the fields as ".ext".
    std::string BuildNewName(BulkRenameFields& fields, std::string_view currentName);

    // What the dialog shows for "sample.txt" with the list's current selection: fixed sample
    // values for the two numbers ("1", "68286"), the real time for the others. The counter
    // is not touched and the fields are not changed.
    std::string BuildPreview(const BulkRenameFields& fields, ParameterKind selection) const;

    static constexpr std::string_view kSampleBase = "sample";
    static constexpr std::string_view kSampleExtension = "txt";

  private:
    std::string TimeText(ParameterKind kind) const;
    static std::string Assemble(const BulkRenameFields& fields, std::string_view base,
                                std::string_view parameter, std::string_view extension);

    Sources sources_;
    std::uint64_t counter_ = 0;
};

// The local time of `seconds` formatted with strftime; "Invalid DateTime" when it cannot be
// converted.
std::string FormatLocalTime(std::int64_t seconds, const char* format);

}  // namespace krelix
