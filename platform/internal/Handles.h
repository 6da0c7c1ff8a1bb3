#pragma once

// What the opaque handles of the public headers stand for. A window handle
// is the toolkit widget of the window; a dialog's is its DialogHost.

#include "Wnd.h"

#include <QIcon>
#include <QWidget>

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

// What an icon handle points at: the icon group's images, kept for the
// program's life.
struct IconHandle {
    QIcon icon;
};

namespace platform_detail {
inline const QIcon& IconOf(HICON hIcon) {
    return hIcon->icon;
}
} // namespace platform_detail

// What a drop handle points at: the local files of one drop, or its text.
struct DropHandle {
    std::vector<CString> files;
    CString text;
};
