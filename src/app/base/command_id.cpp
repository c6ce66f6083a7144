#include "app/base/command_id.h"

#include <array>

namespace krelix {
namespace {

constexpr MenuEntry Separator() {
    return {CommandId::Help, nullptr};
}

constexpr std::array kSelect{
    MenuEntry{CommandId::SelectOldest, "Select Oldest in each group"},
    MenuEntry{CommandId::SelectNewest, "Select Newest in each group"},
    MenuEntry{CommandId::InvertSelection, "Invert Selection"},
    MenuEntry{CommandId::DeselectAll, "Deselect All"},
};

constexpr std::array kDelete{
    MenuEntry{CommandId::UndoLastCommand, "Undo Last Command"},
    Separator(),
    MenuEntry{CommandId::RecycleChecked, "Move Checked Files to Recycle Bin"},
    MenuEntry{CommandId::MoveChecked, "Move Checked Files to ..."},
    MenuEntry{CommandId::DeleteCheckedPermanently, "Delete Checked Files Permanently "},
    MenuEntry{CommandId::CopyChecked, "Copy Checked Files to ..."},
    MenuEntry{CommandId::RenameChecked, "Rename Checked Files to ..."},
    Separator(),
    MenuEntry{CommandId::ReplaceWithHardLinks, "Replace Checked Files with Hard Links"},
    MenuEntry{CommandId::ReplaceWithClones, "Replace Checked Files with Clones"},
    Separator(),
    MenuEntry{CommandId::RemoveDeletedFiles, "Remove Deleted Files from Results"},
    MenuEntry{CommandId::RemoveCheckedFiles, "Remove Checked Files from Results"},
    MenuEntry{CommandId::ClearResults, "Clear Results"},
};

constexpr std::array kListPop{
    MenuEntry{CommandId::FileProperties, "File Properties"},
    MenuEntry{CommandId::OpenContainingFolder, "Open Containing Folder"},
    MenuEntry{CommandId::OpenSelectedFile, "Open The Selected File"},
    MenuEntry{CommandId::RecycleSelected, "Delete The Selected File to Recycle Bin"},
    MenuEntry{CommandId::DeleteSelectedPermanently, "Delete The Selected File Permanently"},
    MenuEntry{CommandId::RenameSelected, "Rename The Selected File"},
    MenuEntry{CommandId::RemoveSelectedFile, "Remove The Selected File from Results"},
    MenuEntry{CommandId::UndoLastCommand, "Undo Last Command"},
    Separator(),
    MenuEntry{CommandId::SelectNewest, "Select Newest in each group"},
    MenuEntry{CommandId::SelectOldest, "Select Oldest in each group"},
    MenuEntry{CommandId::InvertSelection, "Invert Selection"},
    MenuEntry{CommandId::DeselectAll, "Deselect All"},
    Separator(),
    MenuEntry{CommandId::RecycleChecked, "Move Checked Files to Recycle Bin"},
    MenuEntry{CommandId::MoveChecked, "Move Checked Files to ..."},
    MenuEntry{CommandId::DeleteCheckedPermanently, "Delete Checked Files Permanently "},
    MenuEntry{CommandId::CopyChecked, "Copy Checked Files to ..."},
    MenuEntry{CommandId::RenameChecked, "Rename Checked Files to ..."},
    Separator(),
    MenuEntry{CommandId::RemoveDeletedFiles, "Remove Deleted Files from Results"},
    MenuEntry{CommandId::RemoveCheckedFiles, "Remove Selected Files from Results"},
    MenuEntry{CommandId::ClearResults, "Clear Results"},
};

constexpr std::array kAbout{
    MenuEntry{CommandId::Help, "Help"},       Separator(),
    MenuEntry{CommandId::Setting, "Setting"}, Separator(),
    MenuEntry{CommandId::About, "About"},
};

}  // namespace

std::span<const MenuEntry> SelectMenu() {
    return kSelect;
}
std::span<const MenuEntry> DeleteMenu() {
    return kDelete;
}
std::span<const MenuEntry> ListPopMenu() {
    return kListPop;
}
std::span<const MenuEntry> AboutMenu() {
    return kAbout;
}

}  // namespace krelix
