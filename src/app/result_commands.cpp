#include "app/result_commands.h"

#include <QEvent>
#include <QPushButton>
#include <vector>

#include "app/krelix_dlg.h"
#include "app/krelix_dlg_model.h"
#include "app/mfc_list_ctrl_ex.h"
#include "common/ui/locale_time_text.h"
#include "common/ui/prompts.h"
#include "operations/ui/help_file.h"
#include "operations/ui/launcher.h"
#include "preview/ui/preview_dlg.h"

namespace krelix {
namespace {

// The commands this object answers, so that it can take its handlers back.
constexpr CommandId kCommands[] = {
    CommandId::RenameSelected, CommandId::RenameChecked,        CommandId::OpenSelectedFile,
    CommandId::FileProperties, CommandId::OpenContainingFolder, CommandId::Help,
};

}  // namespace

ResultCommands::ResultCommands(CKrelixDlg& window, KrelixDlgModel& model, Services services)
    : window_(window),
      model_(model),
      services_(std::move(services)),
      // The export writes the very text of the list's "Modified Time" column.
      renameExport_(services_.prompts, services_.renameDialogs,
                    [](std::int64_t seconds) { return LocaleTimeText(seconds).toStdU16String(); }),
      shell_(services_.launcher, services_.shellDialogs, services_.prompts) {
    Register();
}

ResultCommands::~ResultCommands() {
    for (const CommandId id : kCommands) {
        model_.SetCommandHandler(id, {});
    }
}

void ResultCommands::Register() {
    model_.SetCommandHandler(CommandId::RenameSelected, [this] { RenameSelected(); });
    model_.SetCommandHandler(CommandId::RenameChecked, [this] { RenameChecked(); });
    model_.SetCommandHandler(CommandId::OpenSelectedFile, [this] { OpenSelectedFile(); });
    model_.SetCommandHandler(CommandId::OpenContainingFolder, [this] { OpenContainingFolder(); });
    model_.SetCommandHandler(CommandId::FileProperties, [this] { ShowProperties(); });
    model_.SetCommandHandler(CommandId::Help, [this] { ShowHelp(); });

    connect(window_.exportButton(), &QPushButton::clicked, this, &ResultCommands::Export);
    CMFCListCtrlEx* list = window_.resultsList();
    connect(list, &CMFCListCtrlEx::rowClicked, this, &ResultCommands::UpdatePreview);
    connect(list, &CMFCListCtrlEx::itemChanged, this, &ResultCommands::UpdatePreview);
    // An emptied list leaves nothing for the preview to show.
    const auto hideWhenEmpty = [this] {
        if (model_.rows().rowCount() == 0) {
            HidePreview();
        }
    };
    connect(&model_.rows(), &QAbstractItemModel::modelReset, this, hideWhenEmpty);
    connect(&model_.rows(), &QAbstractItemModel::rowsRemoved, this, hideWhenEmpty);
    // If the window goes first, Qt has already destroyed the preview with it.
    connect(&window_, &QObject::destroyed, this, [this] { (void)preview_.release(); });
    window_.installEventFilter(this);
}

CFileItem* ResultCommands::Selected() const {
    return window_.resultsList()->SelectedRecord();
}

void ResultCommands::RefreshRow(const CFileItem& item) {
    model_.rows().RefreshRow(item.rowIndex);
}

void ResultCommands::RenameSelected() {
    renameExport_.RenameSelected(Selected(), [this](const CFileItem& item) { RefreshRow(item); });
}

void ResultCommands::RenameChecked() {
    const std::vector<CFileItem*> checked = model_.rows().CheckedRecords();
    renameExport_.RenameChecked(checked, [this](const CFileItem& item) { RefreshRow(item); });
}

void ResultCommands::Export() {
    const std::vector<CFileItem*> records = model_.rows().RowRecords();
    const std::vector<const CFileItem*> rows(records.begin(), records.end());
    renameExport_.Export(rows);
}

void ResultCommands::OpenSelectedFile() {
    if (const CFileItem* selected = Selected()) {
        shell_.OpenFile(selected->path);
    }
}

void ResultCommands::OpenContainingFolder() {
    if (const CFileItem* selected = Selected()) {
        shell_.ShowInFolder(selected->path);
    }
}

void ResultCommands::ShowProperties() {
    if (const CFileItem* selected = Selected()) {
        shell_.ShowProperties(selected->path);
    }
}

void ResultCommands::ShowHelp() {
    if (OpenHelp(services_.launcher, services_.programFolder)) {
        return;
    }
    const QString page = FindHelpFile(services_.programFolder);
    const QString text =
        page.isEmpty() ? QStringLiteral("The help file was not found. It is looked for in:\n") +
                             HelpFileCandidates(services_.programFolder).join(QLatin1Char('\n'))
                       : QStringLiteral("No program could show the help file %1.").arg(page);
    services_.prompts.Inform(AppCaption(), text, PromptIcon::Warning);
}

void ResultCommands::UpdatePreview() {
    std::optional<std::string> path;
    if (const CFileItem* selected = Selected()) {
        path = selected->path;
    }
    krelix::UpdatePreview(preview_, &window_, path);
}

void ResultCommands::HidePreview() {
    if (preview_) {
        preview_->HidePreview();
    }
}

bool ResultCommands::eventFilter(QObject* watched, QEvent* event) {
    // A tool window of a closed or hidden main window would stay on the screen.
    if (watched == &window_ && event->type() == QEvent::Hide) {
        HidePreview();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace krelix
