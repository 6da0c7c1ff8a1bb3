#pragma once

// What the opaque handles of the public headers stand for. A window handle
// is the toolkit widget of the window; a dialog's is its DialogHost.

#include "Wnd.h"

#include <QIcon>
#include <QWidget>

#include <optional>
#include <vector>

namespace platform_detail {

class DialogHost;

inline QWidget* WidgetOf(HWND hWnd) {
    return reinterpret_cast<QWidget*>(hWnd);
}
inline HWND HandleOf(QWidget* widget) {
    return reinterpret_cast<HWND>(widget);
}

// The dialog window behind pWnd, or null for a control or a window not yet
// built.
DialogHost* HostOf(const CWnd* pWnd);

} // namespace platform_detail

struct IconResource;

// What an icon handle points at: the icon group, kept for the program's life.
// Its images become the toolkit's icon when it is first used, so that loading
// an icon costs nothing before a window needs its pixels.
struct IconHandle {
    const IconResource* resource = nullptr;
    std::optional<QIcon> icon;
};

namespace platform_detail {
const QIcon& IconOf(HICON hIcon);
} // namespace platform_detail

// What a drop handle points at: the local files of one drop, or its text.
struct DropHandle {
    std::vector<CString> files;
    CString text;
};
