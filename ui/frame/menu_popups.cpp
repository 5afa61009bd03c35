#include "ui/frame/menu_popups.h"

Submenu submenu_holding(HMENU menu, UINT id, UINT last)
{
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const HMENU sub = GetSubMenu(menu, i);
        if (!sub) continue;
        if (const Submenu deeper = submenu_holding(sub, id, last); deeper.popup) return deeper;
        const int items = GetMenuItemCount(sub);
        for (int k = 0; k < items; ++k)
            if (const UINT item = GetMenuItemID(sub, k); item >= id && item <= last) return {menu, i, sub};
    }
    return {};
}

void clear_submenu(const Submenu& submenu)
{
    while (GetMenuItemCount(submenu.popup) > 0) DeleteMenu(submenu.popup, 0, MF_BYPOSITION);
}

void finish_submenu(const Submenu& submenu, UINT placeholder_id)
{
    const bool empty = GetMenuItemCount(submenu.popup) == 0;
    if (empty) AppendMenuW(submenu.popup, MF_STRING, placeholder_id, L"");
    EnableMenuItem(submenu.parent, submenu.position, MF_BYPOSITION | (empty ? MF_GRAYED : MF_ENABLED));
}
