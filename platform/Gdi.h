#pragma once

// Drawing on a dialog's client area.
//
// Each dialog keeps a retained client surface: an image of its client area
// at the screen's device pixel ratio. Device contexts draw into it at once,
// and the windowing layer brings the screen up to date from it after each
// message, before the next input event is handled. Positions are client
// pixels; at a ratio above 1 a rectangle covers the device pixels from its
// scaled left/top edge up to its scaled right/bottom edge, rounded, so that
// touching rectangles stay touching with no gap or overlap.

#include "Afx.h"
#include "Wnd.h"

namespace platform_detail {
class ClientSurface;
}

constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GetGValue(COLORREF c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int GetBValue(COLORREF c) {
    return static_cast<int>((c >> 16) & 0xFF);
}

// The system colour nIndex; COLOR_BTNFACE is the palette's button colour.
COLORREF GetSysColor(int nIndex);
// SM_CXICON and SM_CYICON: the size of a large icon, 32.
int GetSystemMetrics(int nIndex);

// A solid brush; it holds nothing of the toolkit's, so it needs no release.
class CBrush {
public:
    explicit CBrush(COLORREF color) : m_color(color) {}
    COLORREF GetColor() const { return m_color; }

private:
    COLORREF m_color;
};

// A device context of a dialog's client area.
class CDC {
public:
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    void FillRect(const CRect* lpRect, CBrush* pBrush);
    void DrawIcon(int x, int y, HICON hIcon);
    WPARAM GetSafeHdc() { return reinterpret_cast<WPARAM>(this); }

protected:
    explicit CDC(CWnd* pWnd);
    ~CDC() = default;

private:
    platform_detail::ClientSurface* m_pSurface = nullptr;
};

// Draws on the client area outside painting.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd) : CDC(pWnd) {}
};

// Draws on the client area while WM_PAINT is handled.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd) : CDC(pWnd) {}
};

// The device context whose handle was passed as a message's WPARAM.
CDC* CDCFromHandle(WPARAM hdc);
