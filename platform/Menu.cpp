#include "Menu.h"

#include "DialogHost.h"
#include "DlgTemplate.h"
#include "Handles.h"
#include "MenuPopup.h"
#include "Wnd.h"

#include <string>

namespace {

// The keys that send nID first in table nIDAccel, or none.
std::string_view KeysOf(int nIDAccel, int nID) {
    for (const AcceleratorTable& table : AfxGetResourceTables().accelerators) {
        if (table.id != nIDAccel)
            continue;
        for (const AcceleratorResource& entry : table.entries)
            if (entry.command == nID)
                return entry.keys;
    }
    return {};
}

void AppendResourceItems(CMenu& menu, std::span<const MenuItemResource> items, int nIDAccel) {
    for (const MenuItemResource& item : items) {
        std::string text(item.text);
        if (const std::string_view keys = KeysOf(nIDAccel, item.id); !keys.empty())
            (text += '\t') += keys;
        switch (item.kind) {
        case MenuItemKind::Command:
            menu.AppendMenu(MF_STRING, static_cast<UINT>(item.id), text.c_str());
            break;
        case MenuItemKind::RadioCommand:
            menu.AppendMenu(MF_STRING | MFT_RADIOCHECK, static_cast<UINT>(item.id), text.c_str());
            break;
        case MenuItemKind::Separator:
            menu.AppendMenu(MF_SEPARATOR);
            break;
        case MenuItemKind::Popup: {
            CMenu popup;
            AppendResourceItems(popup, item.popup, nIDAccel);
            menu.AppendMenu(popup, text.c_str());
            break;
        }
        }
    }
}

} // namespace

bool CMenu::AppendMenu(UINT nFlags, UINT nIDNewItem, const char* lpszNewItem) {
    const bool separator = nFlags & MF_SEPARATOR;
    m_items.push_back(
        {nFlags, separator ? 0u : nIDNewItem, separator ? CString() : CString(lpszNewItem), {}});
    return true;
}

bool CMenu::AppendMenu(const CMenu& popup, const char* lpszNewItem) {
    m_items.push_back({MF_POPUP, 0u, CString(lpszNewItem), std::make_shared<const CMenu>(popup)});
    return true;
}

bool CMenu::LoadMenu(UINT nIDResource) {
    for (const MenuResource& resource : AfxGetResourceTables().menus) {
        if (static_cast<UINT>(resource.id) == nIDResource) {
            AppendResourceItems(*this, resource.items, resource.accelerators);
            return true;
        }
    }
    return false;
}

bool CMenu::TrackPopupMenu(int x, int y, CWnd* pWnd) const {
    platform_detail::DialogHost* host = platform_detail::HostOf(pWnd);
    if (!host)
        return false;
    const UINT chosen =
        platform_detail::RunMenu(*this, pWnd, host, host->mapToGlobal(QPoint(x, y)));
    if (chosen == 0)
        return false;
    host->Deliver({WM_COMMAND, MAKEWPARAM(chosen, 0), 0});
    return true;
}
