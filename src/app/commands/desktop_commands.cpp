#include "app/commands/desktop_commands.h"

#include "app/results/mfc_list_ctrl_ex.h"
#include "app/state/krelix_dlg_model.h"
#include "common/ui/prompts.h"
#include "operations/ui/desktop/help_file.h"
#include "operations/ui/desktop/launcher.h"

namespace krelix {
namespace {

// The commands this object answers, so that it can take its handlers back.
constexpr CommandId kCommands[] = {
    CommandId::OpenSelectedFile,
    CommandId::FileProperties,
    CommandId::OpenContainingFolder,
    CommandId::Help,
};

}  // namespace

DesktopCommands::DesktopCommands(KrelixDlgModel& model, CMFCListCtrlEx& list, Services services)
    : model_(model),
      list_(list),
      services_(std::move(services)),
      shell_(services_.launcher, services_.shellDialogs, services_.prompts) {
    model_.SetCommandHandler(CommandId::OpenSelectedFile, [this] { OpenSelectedFile(); });
    model_.SetCommandHandler(CommandId::OpenContainingFolder, [this] { OpenContainingFolder(); });
    model_.SetCommandHandler(CommandId::FileProperties, [this] { ShowProperties(); });
    model_.SetCommandHandler(CommandId::Help, [this] { ShowHelp(); });
}

DesktopCommands::~DesktopCommands() {
    for (const CommandId id : kCommands) {
        model_.SetCommandHandler(id, {});
    }
}

void DesktopCommands::OpenSelectedFile() {
    if (const CFileItem* selected = list_.SelectedRecord()) {
        shell_.OpenFile(selected->path);
    }
}

void DesktopCommands::OpenContainingFolder() {
    if (const CFileItem* selected = list_.SelectedRecord()) {
        shell_.ShowInFolder(selected->path);
    }
}

void DesktopCommands::ShowProperties() {
    if (const CFileItem* selected = list_.SelectedRecord()) {
        shell_.ShowProperties(selected->path);
    }
}

void DesktopCommands::ShowHelp() {
    if (OpenHelp(services_.launcher, services_.helpFolders)) {
        return;
    }
    const QString page = FindHelpFile(services_.helpFolders);
    const QString text =
        page.isEmpty() ? QStringLiteral("The help file was not found. It is looked for in:\n") +
                             HelpFileCandidates(services_.helpFolders).join(QLatin1Char('\n'))
                       : QStringLiteral("No program could show the help file %1.").arg(page);
    services_.prompts.Inform(AppCaption(), text, PromptIcon::Warning);
}

}  // namespace krelix
