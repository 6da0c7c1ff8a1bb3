#pragma once

// The basic vocabulary of the windowing layer: integer types, messages and
// their parameters, points and rectangles, 8-bit strings and the growable
// array of unsigned integers. Nothing here depends on the toolkit.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using COLORREF = std::uint32_t;

constexpr UINT LOWORD(std::uintptr_t v) {
    return static_cast<UINT>(v & 0xFFFFu);
}
constexpr UINT HIWORD(std::uintptr_t v) {
    return static_cast<UINT>((v >> 16) & 0xFFFFu);
}
constexpr WPARAM MAKEWPARAM(UINT low, UINT high) {
    return (low & 0xFFFFu) | ((high & 0xFFFFu) << 16);
}
constexpr LPARAM MAKELPARAM(int low, int high) {
    return static_cast<LPARAM>(static_cast<std::uint32_t>(low & 0xFFFF) |
                               (static_cast<std::uint32_t>(high & 0xFFFF) << 16));
}
// The signed client coordinates packed into a mouse message's LPARAM.
constexpr int GET_X_LPARAM(LPARAM lp) {
    return static_cast<std::int16_t>(lp & 0xFFFF);
}
constexpr int GET_Y_LPARAM(LPARAM lp) {
    return static_cast<std::int16_t>((lp >> 16) & 0xFFFF);
}

// Messages.
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_ICONERASEBKGND = 0x0027;
inline constexpr UINT WM_QUERYDRAGICON = 0x0037;
inline constexpr UINT WM_CONTEXTMENU = 0x007B;
inline constexpr UINT WM_SETICON = 0x0080;
inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_INITDIALOG = 0x0110;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_SYSCOMMAND = 0x0112;
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_LBUTTONUP = 0x0202;
inline constexpr UINT WM_RBUTTONDOWN = 0x0204;
inline constexpr UINT WM_RBUTTONUP = 0x0205;
// Files dropped on a window that accepts them; WPARAM is the HDROP.
inline constexpr UINT WM_DROPFILES = 0x0233;
// Asks the message table whether a command is enabled or checked now; its
// LPARAM is the CCmdUI to answer in.
inline constexpr UINT WM_IDLEUPDATECMDUI = 0x0363;
// Text dropped on a window that accepts drops; WPARAM is the HDROP. The
// original framework delivers text drops through a drop-target object; a
// message in the framework's private range keeps them in the message table.
inline constexpr UINT WM_DROPTEXT = 0x037A;
// The pointer has left the client area. Mouse tracking is always on here, so
// a window gets it each time without asking.
inline constexpr UINT WM_MOUSELEAVE = 0x02A3;
inline constexpr UINT UDM_SETRANGE = 0x0465;

// Virtual keys of WM_KEYDOWN and GetKeyState.
inline constexpr UINT VK_SHIFT = 0x10;
inline constexpr UINT VK_CONTROL = 0x11;
inline constexpr UINT VK_MENU = 0x12;
inline constexpr UINT VK_SPACE = 0x20;
inline constexpr UINT VK_LEFT = 0x25;
inline constexpr UINT VK_UP = 0x26;
inline constexpr UINT VK_RIGHT = 0x27;
inline constexpr UINT VK_DOWN = 0x28;
inline constexpr UINT VK_DELETE = 0x2E;

// Whether a modifier key is held: the high bit of the result is set if so.
short GetKeyState(int nVirtKey);

// Key-state flags of mouse messages.
inline constexpr UINT MK_LBUTTON = 0x0001;
inline constexpr UINT MK_RBUTTON = 0x0002;

// Control notifications, carried in the high word of WM_COMMAND's WPARAM.
inline constexpr UINT BN_CLICKED = 0;
inline constexpr UINT EN_CHANGE = 0x0300;

// How ShowWindow shows a window.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOW = 5;

// Commands.
inline constexpr UINT IDOK = 1;
inline constexpr UINT IDCANCEL = 2;
inline constexpr UINT IDYES = 6;
inline constexpr UINT IDNO = 7;
inline constexpr UINT ID_APP_ABOUT = 0xE140;
inline constexpr UINT ID_HELP = 0xE146;

// System commands, WM_SYSCOMMAND's WPARAM with the low four bits cleared.
inline constexpr UINT SC_SIZE = 0xF000;
inline constexpr UINT SC_MOVE = 0xF010;
inline constexpr UINT SC_MINIMIZE = 0xF020;
inline constexpr UINT SC_MAXIMIZE = 0xF030;
inline constexpr UINT SC_CLOSE = 0xF060;
inline constexpr UINT SC_RESTORE = 0xF120;

// WM_SETICON's WPARAM.
inline constexpr WPARAM ICON_SMALL = 0;
inline constexpr WPARAM ICON_BIG = 1;

// Message box types and results.
inline constexpr UINT MB_OK = 0x0000;
inline constexpr UINT MB_YESNOCANCEL = 0x0003;
inline constexpr UINT MB_YESNO = 0x0004;

// System colours and metrics.
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;

struct MSG {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

struct CPoint {
    int x = 0;
    int y = 0;
    constexpr CPoint() = default;
    constexpr CPoint(int initX, int initY) : x(initX), y(initY) {}
    friend constexpr bool operator==(const CPoint&, const CPoint&) = default;
};

// A rectangle whose right and bottom edges lie outside it.
struct CRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    constexpr CRect() = default;
    constexpr CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
    void SetRect(int l, int t, int r, int b) { *this = CRect(l, t, r, b); }
    friend constexpr bool operator==(const CRect&, const CRect&) = default;
};

// 8-bit text, UTF-8 on this platform.
class CString {
public:
    CString() = default;
    CString(const char* psz) : m_text(psz ? psz : "") {}
    CString(std::string_view text) : m_text(text) {}
    CString(std::string text) : m_text(std::move(text)) {}

    bool IsEmpty() const { return m_text.empty(); }
    const char* GetString() const { return m_text.c_str(); }
    // Loads the string table entry `nID`; false, leaving the text empty, if
    // there is none.
    bool LoadString(UINT nID);

    operator std::string_view() const { return m_text; }
    const std::string& str() const { return m_text; }

    friend bool operator==(const CString& a, const CString& b) = default;
    friend bool operator==(const CString& a, const char* b) { return a.m_text == b; }

private:
    std::string m_text;
};

// A growable array of unsigned 32-bit values, addressed by index.
class CUIntArray {
public:
    int GetSize() const { return static_cast<int>(m_data.size()); }
    // Exactly nNewSize elements; new ones are 0. The growth step is accepted
    // for the familiar signature and has no effect here.
    void SetSize(int nNewSize, int nGrowBy = -1);
    // Reads outside the elements give 0; writes outside them are refused.
    UINT GetAt(int nIndex) const;
    bool SetAt(int nIndex, UINT value);

    operator std::span<std::uint32_t>() { return m_data; }
    operator std::span<const std::uint32_t>() const { return m_data; }

private:
    std::vector<std::uint32_t> m_data;
};
