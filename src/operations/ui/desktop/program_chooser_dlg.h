#pragma once

#include <QDialog>
#include <vector>

#include "operations/ui/desktop/desktop_programs.h"

class QLineEdit;
class QListWidget;

namespace krelix {

// Lets the user pick one of the desktop's programs, or type a command, to open a file with
// when the desktop has no program for it and no chooser of its own.
class ProgramChooserDlg final : public QDialog {
    Q_OBJECT

  public:
    ProgramChooserDlg(const QString& fileName, std::vector<DesktopProgram> programs,
                      QWidget* parent = nullptr);

    // The command line to run: the chosen program's, or what the user typed.
    QString command() const;
    QListWidget* programList() const { return list_; }
    QLineEdit* commandEdit() const { return command_; }

  private:
    std::vector<DesktopProgram> programs_;
    QListWidget* list_;
    QLineEdit* command_;
};

}  // namespace krelix
