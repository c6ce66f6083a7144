#pragma once

#include "common/ui/prompts.h"

namespace krelix {

class OperationProgress;

// Prompts for a command that shows progress: every box and chooser suspends the progress
// feedback while it is open, so the user can answer it with mouse and keyboard and the command
// goes on afterwards. UI thread only.
class ProgressAwarePrompts final : public Prompts {
  public:
    ProgressAwarePrompts(Prompts& prompts, OperationProgress& progress)
        : prompts_(prompts), progress_(progress) {}

    void Inform(const QString& caption, const QString& text, PromptIcon icon) override;
    bool AskOkCancel(const QString& caption, const QString& text) override;
    bool AskYesNo(const QString& caption, const QString& text) override;
    QString ChooseFolder(const QString& title, const QString& startFolder) override;
    QString ChooseSaveFile(const QString& title, const QString& startPath,
                           const QString& filter) override;

  private:
    Prompts& prompts_;
    OperationProgress& progress_;
};

}  // namespace krelix
