#include "operations/ui/commands/progress_aware_prompts.h"

#include "operations/files/operation_progress.h"

namespace krelix {
namespace {

class Suspension {
  public:
    explicit Suspension(OperationProgress& progress) : progress_(progress) { progress_.Suspend(); }
    ~Suspension() { progress_.Resume(); }
    Suspension(const Suspension&) = delete;
    Suspension& operator=(const Suspension&) = delete;

  private:
    OperationProgress& progress_;
};

}  // namespace

void ProgressAwarePrompts::Inform(const QString& caption, const QString& text, PromptIcon icon) {
    const Suspension suspension(progress_);
    prompts_.Inform(caption, text, icon);
}

bool ProgressAwarePrompts::AskOkCancel(const QString& caption, const QString& text) {
    const Suspension suspension(progress_);
    return prompts_.AskOkCancel(caption, text);
}

bool ProgressAwarePrompts::AskYesNo(const QString& caption, const QString& text) {
    const Suspension suspension(progress_);
    return prompts_.AskYesNo(caption, text);
}

QString ProgressAwarePrompts::ChooseFolder(const QString& title, const QString& startFolder) {
    const Suspension suspension(progress_);
    return prompts_.ChooseFolder(title, startFolder);
}

QString ProgressAwarePrompts::ChooseSaveFile(const QString& title, const QString& startPath,
                                             const QString& filter) {
    const Suspension suspension(progress_);
    return prompts_.ChooseSaveFile(title, startPath, filter);
}

}  // namespace krelix
