#include "settings/settings_location.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/home_folders.h"

namespace krelix {
namespace {

constexpr const char* kFileName = "settings.dat";
constexpr const char* kPortableMarker = "krelix.portable";

// Folders a package installs into: settings written there would outlive the package and be
// shared by every user.
bool IsSystemFolder(const std::string& folder) {
    static constexpr const char* kSystem[] = {"/usr/",  "/opt/",   "/bin/",   "/sbin/",
                                              "/lib/",  "/lib32/", "/lib64/", "/libx32/",
                                              "/snap/", "/etc/",   "/boot/"};
    const std::string withSlash = folder.ends_with('/') ? folder : folder + "/";
    return std::any_of(std::begin(kSystem), std::end(kSystem),
                       [&](const char* system) { return withSlash.starts_with(system); });
}

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

std::string ChooseSettingsPath(const SettingsPlaces& places, const SettingsProbes& probes) {
    const std::string& program = places.programFolder;
    if (!program.empty() &&
        (!IsSystemFolder(program) || probes.exists(Join(program, kPortableMarker))) &&
        probes.writable(program)) {
        return Join(program, kFileName);
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

std::string SettingsBesideProgram(const SettingsPlaces& places) {
    return places.programFolder.empty() ? "" : Join(places.programFolder, kFileName);
}

std::string SettingsPath() {
    const SettingsPlaces places = CurrentSettingsPlaces();
    const std::string path = ChooseSettingsPath(
        places, {[](const std::string& folder) { return access(folder.c_str(), W_OK) == 0; },
                 [](const std::string& file) { return access(file.c_str(), F_OK) == 0; }});
    AdoptSettings(SettingsBesideProgram(places), path);
    return path;
}

bool AdoptSettings(const std::string& from, const std::string& to) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (from.empty() || to.empty() || from == to || fs::exists(to, ec) ||
        !fs::is_regular_file(from, ec)) {
        return false;
    }
    fs::create_directories(fs::path(to).parent_path(), ec);
    return !ec && fs::copy_file(from, to, fs::copy_options::none, ec) && !ec;
}

}  // namespace krelix
