#pragma once

#include "operations/ui/desktop/shell_dialogs.h"

class QWidget;

namespace krelix {

// The real chooser and properties windows, parented to the main window (may be null).
class WidgetShellDialogs final : public ShellDialogs {
  public:
    explicit WidgetShellDialogs(QWidget* parent) : parent_(parent) {}

    QString ChooseProgram(const QString& fileName, const QString& mimeType) override;
    // Modeless: it closes on its own and deletes itself.
    void ShowProperties(const FileProperties& properties) override;

  private:
    QWidget* parent_;
};

}  // namespace krelix
