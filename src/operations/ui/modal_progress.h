#pragma once

#include <memory>

#include "operations/operation_progress.h"

class QProgressDialog;
class QWidget;

namespace krelix {

// A progress box over the window for commands over many files: it appears once a command has
// run for half a second and is expected to run longer, keeps the window painted between files
// and stops the command after the current file when the user presses Cancel. While it is not
// shown yet, the user's clicks and keys wait until the command is over.
class ModalProgress final : public OperationProgress {
  public:
    static constexpr int kMinimumDurationMs = 500;

    explicit ModalProgress(QWidget* parent);
    ~ModalProgress() override;

    void Begin(const std::string& title, std::size_t total) override;
    bool Next(std::size_t done, const std::string& path) override;
    void End() override;

    // The box of the running command, or null.
    QProgressDialog* dialog() const { return dialog_.get(); }

  private:
    QWidget* parent_;
    std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace krelix
