#pragma once

#include <span>

namespace krelix {

// Commands of the main window's menus. The numbers are the commands' fixed identities; the
// menu texts live in command_id.cpp.
enum class CommandId : int {
    SelectNewest = 32790,
    SelectOldest = 32791,
    InvertSelection = 32792,
    DeselectAll = 32793,
    DeleteCheckedPermanently = 32794,
    RenameChecked = 32795,
    MoveChecked = 32796,
    FileProperties = 32797,
    OpenContainingFolder = 32798,
    OpenSelectedFile = 32800,
    DeleteSelectedPermanently = 32801,
    RenameSelected = 32802,
    RemoveSelectedFile = 32806,
    RemoveDeletedFiles = 32808,
    ClearResults = 32810,
    RemoveCheckedFiles = 32811,
    CopyChecked = 32814,
    RecycleChecked = 32815,
    Help = 32817,
    About = 32820,
    Setting = 32822,
    RecycleSelected = 32825,
    ReplaceWithHardLinks = 32830,
    ReplaceWithClones = 32831,
    UndoLastCommand = 32840,
};

// One menu entry; a null text is a separator.
struct MenuEntry {
    CommandId id;
    const char* text;
};

// The four menus of the main window, in display order.
std::span<const MenuEntry> SelectMenu();   // "_Select", on "Auto Select"
std::span<const MenuEntry> DeleteMenu();   // "_delete", on "Delete Checked"
std::span<const MenuEntry> ListPopMenu();  // "_ListPop", the results list's context menu
std::span<const MenuEntry> AboutMenu();    // "About", on "About&&Help"

}  // namespace krelix
