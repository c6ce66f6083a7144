#include "settings/preferences_file.h"

#include <optional>
#include <sstream>

#include "settings/settings_file.h"

namespace krelix {
namespace {

constexpr std::string_view kRememberFileHashes = "remember-file-hashes";

std::optional<bool> ParseBool(std::string_view text) {
    if (text == "true") {
        return true;
    }
    if (text == "false") {
        return false;
    }
    return std::nullopt;
}

}  // namespace

std::string PreferencesPath(const std::string& settingsPath) {
    if (settingsPath.empty()) {
        return {};
    }
    const std::size_t slash = settingsPath.rfind('/');
    return (slash == std::string::npos ? std::string() : settingsPath.substr(0, slash + 1)) +
           "preferences.conf";
}

Preferences LoadPreferences(const std::string& path) {
    Preferences preferences;
    const std::optional<std::string> bytes =
        path.empty() ? std::nullopt : ReadConfigurationFile(path);
    if (!bytes) {
        return preferences;
    }
    std::istringstream lines(*bytes);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t eq = line.find('=');
        const std::string_view name = std::string_view(line).substr(0, eq);
        if (eq != std::string::npos && name == kRememberFileHashes) {
            preferences.rememberFileHashes =
                ParseBool(std::string_view(line).substr(eq + 1)).value_or(true);
        } else if (!line.empty()) {
            preferences.otherLines.push_back(line);
        }
    }
    return preferences;
}

bool SavePreferences(const std::string& path, const Preferences& preferences) {
    if (path.empty()) {
        return false;
    }
    std::string text = std::string(kRememberFileHashes) + "=" +
                       (preferences.rememberFileHashes ? "true" : "false") + "\n";
    for (const std::string& line : preferences.otherLines) {
        text += line + "\n";
    }
    return ReplaceConfigurationFile(path, text);
}

}  // namespace krelix
