#include "settings/settings_location.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/home_folders.h"

namespace krelix {
namespace {

constexpr const char* kFileName = "settings.dat";

std::string Join(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '/') {
        return folder + name;
    }
    return folder + "/" + name;
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

std::string ChooseSettingsPath(const SettingsPlaces& places,
                               const std::function<bool(const std::string& folder)>& writable) {
    if (!places.programFolder.empty() && writable(places.programFolder)) {
        return Join(places.programFolder, kFileName);
    }
    std::string configHome;
    if (!places.configHome.empty() && places.configHome.front() == '/') {
        configHome = places.configHome;  // relative values are invalid and ignored
    } else if (!places.home.empty() && places.home.front() == '/') {
        configHome = Join(places.home, ".config");
    }
    if (!configHome.empty()) {
        return Join(Join(configHome, "krelix"), kFileName);
    }
    return places.programFolder.empty() ? "" : Join(places.programFolder, kFileName);
}

SettingsPlaces CurrentSettingsPlaces() {
    SettingsPlaces places;
    std::error_code ec;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        places.programFolder = program.parent_path().string();
    }
    places.configHome = Environment("XDG_CONFIG_HOME");
    places.home = HomeFolder();
    return places;
}

std::string SettingsPath() {
    return ChooseSettingsPath(CurrentSettingsPlaces(), [](const std::string& folder) {
        return access(folder.c_str(), W_OK) == 0;
    });
}

}  // namespace krelix
