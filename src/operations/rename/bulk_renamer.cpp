#include "operations/rename/bulk_renamer.h"

#include <ctime>
#include <limits>
#include <random>

namespace krelix {
namespace {

// The extension of a custom choice: ".ext" as it is, "*.ext" without the star, anything
// else with a dot in front ("" gives ".").
std::string CustomExtension(std::string_view text) {
    if (!text.empty() && text.front() == '.') {
        return std::string(text);
    }
    if (text.size() >= 2 && text.starts_with("*.")) {
        return std::string(text.substr(1));
    }
    return "." + std::string(text);
}

}  // namespace

NameParts SplitName(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) {
        return {name, {}};
    }
    return {name.substr(0, dot), name.substr(dot)};
}

std::string FormatLocalTime(std::int64_t seconds, const char* format) {
    const auto time = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (localtime_r(&time, &local) == nullptr) {
        return "Invalid DateTime";
    }
    char text[256];
    const std::size_t length = std::strftime(text, sizeof text, format, &local);
    return std::string(text, length);
}

BulkRenamer::Sources BulkRenamer::SystemSources() {
    Sources sources;
    sources.random = []() -> std::optional<std::uint32_t> {
        try {
            std::random_device device;
            return static_cast<std::uint32_t>(device());
        } catch (const std::exception&) {
            return std::nullopt;
        }
    };
    sources.now = [] { return static_cast<std::int64_t>(std::time(nullptr)); };
    return sources;
}

BulkRenamer::BulkRenamer() : BulkRenamer(SystemSources()) {}

BulkRenamer::BulkRenamer(Sources sources) : sources_(std::move(sources)) {}

std::string BulkRenamer::TimeText(ParameterKind kind) const {
    const char* format = kind == ParameterKind::DateTime ? "%Y%m%d%H%M%S"
                         : kind == ParameterKind::Date   ? "%Y%m%d"
                                                         : "%H%M%S";
    return FormatLocalTime(sources_.now(), format);
}

std::string BulkRenamer::BuildNewName(BulkRenameFields& fields, std::string_view currentName) {
    std::string parameter;
    if (fields.parameterIncluded) {
        switch (fields.parameterKind) {
            case ParameterKind::IncrementNumber:
                counter_ = counter_ == std::numeric_limits<std::uint64_t>::max() ? 1 : counter_ + 1;
                parameter = std::to_string(counter_);
                break;
            case ParameterKind::RandomNumber:
                parameter =
                    std::to_string(static_cast<std::int32_t>(sources_.random().value_or(0)));
                break;
            default:
                parameter = TimeText(fields.parameterKind);
                break;
        }
    }
    const NameParts parts = SplitName(currentName);
    if (fields.extensionChoice == ExtensionChoice::Custom) {
        if (fields.customExtension.starts_with("*.")) {
            fields.customExtension.erase(0, 1);
        }
        return Assemble(fields, parts.base, parameter, CustomExtension(fields.customExtension));
    }
    return Assemble(fields, parts.base, parameter, parts.extension);
}

std::string BulkRenamer::BuildPreview(const BulkRenameFields& fields,
                                      ParameterKind selection) const {
    std::string parameter;
    if (fields.parameterIncluded) {
        switch (selection) {
            case ParameterKind::IncrementNumber:
                parameter = "1";
                break;
            case ParameterKind::RandomNumber:
                parameter = "68286";
                break;
            default:
                parameter = TimeText(selection);
                break;
        }
    }
    // The same extension rule as the rename itself, so that "*.bak" previews as ".bak".
    const std::string extension = fields.extensionChoice == ExtensionChoice::Custom
                                      ? CustomExtension(fields.customExtension)
                                      : "." + std::string(kSampleExtension);
    return Assemble(fields, kSampleBase, parameter, extension);
}

std::string BulkRenamer::Assemble(const BulkRenameFields& fields, std::string_view base,
                                  std::string_view parameter, std::string_view extension) {
    std::string name;
    if (fields.prefixIncluded) {
        name += fields.prefix;
    }
    if (fields.fileNameIncluded) {
        name += base;
    }
    name += parameter;
    if (fields.suffixIncluded) {
        name += fields.suffix;
    }
    name += extension;
    return name;
}

}  // namespace krelix
