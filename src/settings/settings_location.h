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

// settings.dat beside the program when the program's folder is writable (a portable or
// developer copy); otherwise <config home>/krelix/settings.dat, where the config home is
// $XDG_CONFIG_HOME when that is an absolute path, else ~/.config. When no home is known either,
// the file beside the program (read-only, so saving fails quietly). Empty when nothing is known.
std::string ChooseSettingsPath(const SettingsPlaces& places,
                               const std::function<bool(const std::string& folder)>& writable);

// The folder of /proc/self/exe, and the environment's XDG_CONFIG_HOME and HOME (or the
// password database's home folder when HOME is unset).
SettingsPlaces CurrentSettingsPlaces();

// ChooseSettingsPath for this process, probing the program's folder with access(W_OK).
std::string SettingsPath();

}  // namespace krelix
