#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/base/command_id.h"
#include "app/results/result_set.h"
#include "app/results/results_model.h"
#include "catalogue/file_type_catalogue.h"
#include "engine/search_flags.h"
#include "engine/search_request.h"
#include "operations/selection/protected_folders.h"
#include "settings/preferences_file.h"

namespace krelix {

class CVornex;

// A settings file found at start that could not be read, for the one message about it.
struct SettingsProblem {
    std::string path;    // the file as it was named
    std::string keptAs;  // where its bytes are now; empty when it could not be set aside
};

// What the main window holds for the life of the program, without any widget: the search
// settings word, the result copy and its rows, the catalogue with its settings file, and the
// handlers of the menu commands. UI thread only.
class KrelixDlgModel {
  public:
    // settingsPath: where the catalogue is read at start and written at close.
    // The scan engine is the system's own, made on first use.
    explicit KrelixDlgModel(std::string settingsPath);
    // Searches with the given engine (tests, tools).
    KrelixDlgModel(std::string settingsPath, std::unique_ptr<CVornex> engine);
    ~KrelixDlgModel();
    KrelixDlgModel(const KrelixDlgModel&) = delete;
    KrelixDlgModel& operator=(const KrelixDlgModel&) = delete;

    const std::string& settingsPath() const { return settingsPath_; }
    // Reads the settings file into the catalogue; a missing or empty file leaves it empty. A
    // file that cannot be read is renamed aside so that no save destroys it, and reported.
    std::optional<SettingsProblem> LoadSettings();
    // Writes the catalogue to the settings file; a file that cannot be written is left as it
    // was, silently. Writes nothing when an unreadable file could not be set aside.
    void SaveSettings() const;

    std::uint32_t searchFlags() const { return searchFlags_; }
    void setSearchFlags(std::uint32_t flags) { searchFlags_ = flags; }

    // Where searches keep file hashes; empty (the default, and in tests) for no cache at all.
    const std::string& hashCachePath() const { return hashCachePath_; }
    void setHashCachePath(std::string path) { hashCachePath_ = std::move(path); }
    // "Remember file hashes between searches", read with the settings and saved at once when
    // it changes (beside the settings file).
    bool rememberHashes() const { return preferences_.rememberFileHashes; }
    void setRememberHashes(bool remember);
    // The cache the next search uses: empty when there is none or hashes are not remembered.
    std::string searchCachePath() const { return rememberHashes() ? hashCachePath_ : ""; }

    // The file-type catalogue; the settings file holds it without its check marks.
    FileTypeCatalogue& catalogue() { return catalogue_; }
    const FileTypeCatalogue& catalogue() const { return catalogue_; }

    // The scan engine and the request of every search; while a search runs they belong to its
    // thread.
    CVornex& engine();
    SearchRequest& request() { return request_; }

    ResultSet& results() { return results_; }
    ResultsModel& rows() { return rows_; }

    // The folders of "Include to Search" marked protected, for as long as the program runs;
    // the commands read them each time they run.
    const ProtectedFolders& protectedFolders() const { return protectedFolders_; }
    void setProtectedFolders(ProtectedFolders folders) { protectedFolders_ = std::move(folders); }

    // The command's handler replaces any earlier one; an empty function removes it.
    void SetCommandHandler(CommandId id, std::function<void()> handler);
    bool HasCommandHandler(CommandId id) const;
    // Runs the command's handler; false when it has none.
    bool Dispatch(CommandId id) const;

  private:
    std::string settingsPath_;
    bool keepSettingsFile_ = false;
    std::uint32_t searchFlags_ = DEFAULT_SEARCH_FLAGS;
    std::string hashCachePath_;
    Preferences preferences_;
    FileTypeCatalogue catalogue_;
    std::unique_ptr<CVornex> engine_;
    SearchRequest request_;
    ResultSet results_;
    ResultsModel rows_;
    ProtectedFolders protectedFolders_;
    std::map<CommandId, std::function<void()>> handlers_;
};

}  // namespace krelix
