#include "app/state/krelix_dlg_model.h"

#include <ctime>

#include "engine/vornex.h"
#include "settings/settings_file.h"

namespace krelix {

KrelixDlgModel::KrelixDlgModel(std::string settingsPath) : settingsPath_(std::move(settingsPath)) {}

KrelixDlgModel::KrelixDlgModel(std::string settingsPath, std::unique_ptr<CVornex> engine)
    : settingsPath_(std::move(settingsPath)), engine_(std::move(engine)) {}

KrelixDlgModel::~KrelixDlgModel() = default;

CVornex& KrelixDlgModel::engine() {
    if (!engine_) {
        engine_ = std::make_unique<CVornex>();
    }
    return *engine_;
}

std::optional<SettingsProblem> KrelixDlgModel::LoadSettings() {
    preferences_ = LoadPreferences(PreferencesPath(settingsPath_));
    if (krelix::LoadSettings(settingsPath_, catalogue_) != SettingsLoad::Unreadable) {
        return std::nullopt;
    }
    SettingsProblem problem{settingsPath_, {}};
    if (auto kept = SetAsideSettings(settingsPath_, std::time(nullptr))) {
        problem.keptAs = std::move(*kept);
    } else {
        keepSettingsFile_ = true;
    }
    return problem;
}

void KrelixDlgModel::SaveSettings() const {
    if (!keepSettingsFile_) {
        krelix::SaveSettings(settingsPath_, catalogue_);
    }
}

void KrelixDlgModel::setRememberHashes(bool remember) {
    if (remember != preferences_.rememberFileHashes) {
        preferences_.rememberFileHashes = remember;
        SavePreferences(PreferencesPath(settingsPath_), preferences_);
    }
}

void KrelixDlgModel::SetCommandHandler(CommandId id, std::function<void()> handler) {
    if (handler) {
        handlers_[id] = std::move(handler);
    } else {
        handlers_.erase(id);
    }
}

bool KrelixDlgModel::HasCommandHandler(CommandId id) const {
    return handlers_.count(id) != 0;
}

bool KrelixDlgModel::Dispatch(CommandId id) const {
    const auto handler = handlers_.find(id);
    if (handler == handlers_.end()) {
        return false;
    }
    handler->second();
    return true;
}

}  // namespace krelix
