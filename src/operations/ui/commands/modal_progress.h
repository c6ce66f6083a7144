#pragma once

#include <QString>
#include <memory>
#include <string>

#include "operations/files/operation_progress.h"

class QProgressDialog;
class QWidget;

namespace krelix {

// A progress box over the window for commands over many files: it appears once a command has
// run for half a second and is expected to run longer, keeps the window painted between files
// and stops the command after the current file when the user presses Cancel. While it is not
// shown yet, the user's clicks and keys wait until the command is over. While suspended the box
// is gone, so a message box opened then is on top and answerable; it comes back on Resume.
class ModalProgress final : public OperationProgress {
  public:
    static constexpr int kMinimumDurationMs = 500;

    // minimumDurationMs: how long a command runs before the box shows (tests shorten it).
    explicit ModalProgress(QWidget* parent, int minimumDurationMs = kMinimumDurationMs);
    ~ModalProgress() override;

    void Begin(const std::string& title, std::size_t total) override;
    bool Next(std::size_t done, const std::string& path) override;
    void End() override;
    void Suspend() override;
    void Resume() override;

    // The box of the running command, or null.
    QProgressDialog* dialog() const { return dialog_.get(); }

  private:
    void MakeDialog(int value, const QString& label, bool showNow);

    QWidget* parent_;
    int minimumDurationMs_;
    std::unique_ptr<QProgressDialog> dialog_;
    bool running_ = false;
    std::string title_;
    std::size_t total_ = 0;
    int suspended_ = 0;
    bool canceled_ = false;  // Cancel pressed before a suspension took the box away
    int value_ = 0;          // what the box showed when suspended
    QString label_;
    bool wasVisible_ = false;
};

}  // namespace krelix
