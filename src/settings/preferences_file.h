#pragma once

#include <string>
#include <vector>

namespace krelix {

// What the window keeps between runs besides the catalogue, as "name=value" lines in a small
// text file beside settings.dat.
struct Preferences {
    bool rememberFileHashes = true;
    // Lines this version does not know (a newer version's), written back as they were.
    std::vector<std::string> otherLines;
};

// preferences.conf in the folder of the settings file; empty when that is empty.
std::string PreferencesPath(const std::string& settingsPath);

// The defaults where the file is missing or unreadable, or a value is not understood.
Preferences LoadPreferences(const std::string& path);
// Replaces the file as settings.dat is replaced; false on failure.
bool SavePreferences(const std::string& path, const Preferences& preferences);

}  // namespace krelix
