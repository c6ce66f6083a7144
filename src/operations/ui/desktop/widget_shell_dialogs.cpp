#include "operations/ui/desktop/widget_shell_dialogs.h"

#include <QLocale>

#include "operations/ui/desktop/desktop_programs.h"
#include "operations/ui/desktop/file_properties_dlg.h"
#include "operations/ui/desktop/program_chooser_dlg.h"

namespace krelix {

QString WidgetShellDialogs::ChooseProgram(const QString& fileName, const QString& mimeType) {
    ProgramChooserDlg dialog(
        fileName, ListDesktopPrograms(ApplicationFolders(), mimeType, QLocale().name()), parent_);
    return dialog.exec() == QDialog::Accepted ? dialog.command() : QString();
}

void WidgetShellDialogs::ShowProperties(const FileProperties& properties) {
    auto* dialog = new FilePropertiesDlg(properties, parent_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

}  // namespace krelix
