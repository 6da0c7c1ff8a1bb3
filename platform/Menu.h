#pragma once

// Menus, and the state of the commands they show.

#include "Afx.h"

#include <memory>
#include <vector>

class CWnd;

inline constexpr UINT MF_STRING = 0x0000;
inline constexpr UINT MF_GRAYED = 0x0001;
inline constexpr UINT MF_CHECKED = 0x0008;
inline constexpr UINT MF_POPUP = 0x0010;
inline constexpr UINT MFT_RADIOCHECK = 0x0200;
inline constexpr UINT MF_SEPARATOR = 0x0800;

// A menu: a list of items, each a command id and text, a separator, or a
// submenu. A command's text may end in a tab and the keys that send it.
class CMenu {
public:
    struct Item {
        UINT nFlags;
        UINT nID;
        CString text;
        std::shared_ptr<const CMenu> pPopup; // with MF_POPUP
    };

    bool AppendMenu(UINT nFlags, UINT nIDNewItem = 0, const char* lpszNewItem = nullptr);
    // Appends a submenu; the menu keeps a copy of it.
    bool AppendMenu(const CMenu& popup, const char* lpszNewItem);
    // Appends the items of menu resource nIDResource; false if there is none.
    bool LoadMenu(UINT nIDResource);
    const std::vector<Item>& Items() const { return m_items; }

    // Shows the menu at client point (x, y) of pWnd's dialog, asking pWnd's
    // update handlers for each command's state; the command chosen reaches
    // pWnd as WM_COMMAND. False if none was chosen.
    bool TrackPopupMenu(int x, int y, CWnd* pWnd) const;

private:
    std::vector<Item> m_items;
};

// The state of one command as its update handler sets it, for a menu item
// about to be shown or a key about to send it.
class CCmdUI {
public:
    explicit CCmdUI(UINT nID) : m_nID(nID) {}

    void Enable(bool bOn = true) { m_bEnabled = bOn; }
    // Checked as one choice of several.
    void SetRadio(bool bOn = true) {
        m_nCheck = bOn ? 1 : 0;
        m_bRadio = true;
    }

    UINT m_nID;
    bool m_bEnabled = true;
    int m_nCheck = -1; // -1: not a checkable command
    bool m_bRadio = false;
};
