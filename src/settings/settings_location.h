#pragma once

#include <functional>
#include <string>

namespace krelix {

// What decides where settings.dat lives; the real values come from CurrentSettingsPlaces().
struct SettingsPlaces {
    std::string programFolder;  // folder of the running executable; empty when unknown
    std::string configHome;     // $XDG_CONFIG_HOME as set; empty when unset
    std::string home;           // the user's home folder; empty when unknown
};

struct SettingsProbes {
    std::function<bool(const std::string& folder)> writable;
    std::function<bool(const std::string& file)> exists;
};

// settings.dat beside the program when the program's folder is writable and is no system folder
// (under /usr, /opt, /bin...: a developer's or unpacked copy), or when a file "krelix.portable"
// lies beside the program; otherwise <config home>/krelix/settings.dat, where the config home is
// $XDG_CONFIG_HOME when that is an absolute path, else ~/.config. When no home is known either,
// the file beside the program (read-only, so saving fails quietly). Empty when nothing is known.
std::string ChooseSettingsPath(const SettingsPlaces& places, const SettingsProbes& probes);

// Where an older Krelix kept its settings: beside the program.
std::string SettingsBesideProgram(const SettingsPlaces& places);
// A settings.dat found beside the program is still read: it is copied to the chosen place when
// nothing is there yet. Whether it was copied.
bool AdoptSettings(const std::string& from, const std::string& to);

// The folder of /proc/self/exe, and the environment's XDG_CONFIG_HOME and HOME (or the
// password database's home folder when HOME is unset).
SettingsPlaces CurrentSettingsPlaces();

// ChooseSettingsPath for this process, probing the program's folder with access(W_OK), after
// AdoptSettings from beside the program.
std::string SettingsPath();

}  // namespace krelix
