// The submenus that the window fills at run time (recent files aside): found by the ids
// of their items, emptied, filled, and left with a blank placeholder item and a disabled
// entry in their parent while they have nothing to offer.
#pragma once

#include <windows.h>

struct Submenu {
    HMENU parent = nullptr;
    int position = -1;
    HMENU popup = nullptr;
};

// The popup of `menu` (at any depth) that holds an item with an id from `id` to `last`,
// with its place in its parent: the parent's entry is what gets disabled while the
// popup is empty. None for a null menu.
Submenu submenu_holding(HMENU menu, UINT id, UINT last);

void clear_submenu(const Submenu& submenu);

// An empty popup keeps one blank item (with the id it is found by) and its entry is
// disabled; a popup with items is enabled.
void finish_submenu(const Submenu& submenu, UINT placeholder_id);
