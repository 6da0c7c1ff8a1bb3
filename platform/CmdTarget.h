#pragma once

// The message table: CCmdTarget, the base of everything that handles
// messages (windows and the application), and the macros that write a
// class's table. The handles that handlers take are opaque here.

#include "Afx.h"

#include <cstddef>
#include <variant>

class CCmdUI;
class CWnd;
struct IconHandle;
struct DropHandle;
struct HWND__;
// Handles are opaque outside the windowing layer.
using HWND = HWND__*;
using HICON = IconHandle*;
using HCURSOR = IconHandle*;
// What was dropped on a window: valid while its WM_DROPFILES or WM_DROPTEXT
// is being handled.
using HDROP = DropHandle*;

// Something that can handle messages through a message table.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

protected:
    // Runs the handler the message table has for the message, if any.
    virtual bool OnWndMsg(const MSG& msg, LRESULT& result);

    template <class T>
    friend struct MessageMapDispatch;
    friend class CWnd;
};

// One entry of a class's message table. A command entry covers the ids from
// nID to nLastID when nLastID is set, and its handler is given the id.
template <class T>
struct MessageMapEntry {
    UINT nMessage;
    UINT nCode;
    UINT nID;
    std::variant<void (T::*)(), void (T::*)(UINT, CPoint), void (T::*)(UINT, LPARAM),
                 HCURSOR (T::*)(), void (T::*)(UINT, UINT, UINT), void (T::*)(CWnd*, CPoint),
                 void (T::*)(CCmdUI*), void (T::*)(HDROP), void (T::*)(UINT)>
        pfn;
    UINT nLastID = 0;

    bool Covers(UINT id) const { return nLastID == 0 ? id == nID : nID <= id && id <= nLastID; }
};

template <class T>
struct MessageMapDispatch {
    template <std::size_t N>
    static bool Run(T* self, const MessageMapEntry<T> (&entries)[N], const MSG& msg,
                    LRESULT& result) {
        for (const MessageMapEntry<T>& entry : entries) {
            if (entry.nMessage != msg.message)
                continue;
            if (msg.message == WM_COMMAND &&
                (!entry.Covers(LOWORD(msg.wParam)) || entry.nCode != HIWORD(msg.wParam)))
                continue;
            if (msg.message == WM_IDLEUPDATECMDUI && entry.nID != msg.wParam)
                continue;
            Call(self, entry, msg, result);
            return true;
        }
        return false;
    }

private:
    static void Call(T* self, const MessageMapEntry<T>& entry, const MSG& msg, LRESULT& result) {
        if (auto* f = std::get_if<void (T::*)()>(&entry.pfn))
            (self->**f)();
        else if (auto* f = std::get_if<void (T::*)(UINT, CPoint)>(&entry.pfn))
            (self->**f)(static_cast<UINT>(msg.wParam),
                        CPoint(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)));
        else if (auto* f = std::get_if<void (T::*)(UINT, LPARAM)>(&entry.pfn))
            (self->**f)(static_cast<UINT>(msg.wParam), msg.lParam);
        else if (auto* f = std::get_if<HCURSOR (T::*)()>(&entry.pfn))
            result = reinterpret_cast<LRESULT>((self->**f)());
        else if (auto* f = std::get_if<void (T::*)(UINT, UINT, UINT)>(&entry.pfn))
            (self->**f)(static_cast<UINT>(msg.wParam), LOWORD(static_cast<WPARAM>(msg.lParam)),
                        HIWORD(static_cast<WPARAM>(msg.lParam)));
        else if (auto* f = std::get_if<void (T::*)(CWnd*, CPoint)>(&entry.pfn))
            (self->**f)(reinterpret_cast<CWnd*>(msg.wParam),
                        CPoint(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)));
        else if (auto* f = std::get_if<void (T::*)(CCmdUI*)>(&entry.pfn))
            (self->**f)(reinterpret_cast<CCmdUI*>(msg.lParam));
        else if (auto* f = std::get_if<void (T::*)(HDROP)>(&entry.pfn))
            (self->**f)(reinterpret_cast<HDROP>(msg.wParam));
        else if (auto* f = std::get_if<void (T::*)(UINT)>(&entry.pfn))
            (self->**f)(LOWORD(msg.wParam));
    }
};

// The message table of a class: declare it in the class, define it with
// BEGIN_MESSAGE_MAP ... END_MESSAGE_MAP, one entry per line.
#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    bool OnWndMsg(const MSG& msg, LRESULT& result) override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    bool theClass::OnWndMsg(const MSG& msg, LRESULT& result) {                                     \
        using ThisClass = theClass;                                                                \
        using TheBaseClass = baseClass;                                                            \
        static const MessageMapEntry<ThisClass> entries[] = {

#define END_MESSAGE_MAP()                                                                          \
    }                                                                                              \
    ;                                                                                              \
    return MessageMapDispatch<ThisClass>::Run(this, entries, msg, result) ||                       \
           TheBaseClass::OnWndMsg(msg, result);                                                    \
    }

#define ON_WM_PAINT() {WM_PAINT, 0, 0, &ThisClass::OnPaint},
#define ON_WM_SYSCOMMAND() {WM_SYSCOMMAND, 0, 0, &ThisClass::OnSysCommand},
#define ON_WM_QUERYDRAGICON() {WM_QUERYDRAGICON, 0, 0, &ThisClass::OnQueryDragIcon},
#define ON_WM_MOUSEMOVE() {WM_MOUSEMOVE, 0, 0, &ThisClass::OnMouseMove},
#define ON_WM_LBUTTONDOWN() {WM_LBUTTONDOWN, 0, 0, &ThisClass::OnLButtonDown},
#define ON_WM_RBUTTONDOWN() {WM_RBUTTONDOWN, 0, 0, &ThisClass::OnRButtonDown},
#define ON_WM_LBUTTONUP() {WM_LBUTTONUP, 0, 0, &ThisClass::OnLButtonUp},
#define ON_WM_RBUTTONUP() {WM_RBUTTONUP, 0, 0, &ThisClass::OnRButtonUp},
#define ON_WM_KEYDOWN() {WM_KEYDOWN, 0, 0, &ThisClass::OnKeyDown},
#define ON_WM_CONTEXTMENU() {WM_CONTEXTMENU, 0, 0, &ThisClass::OnContextMenu},
#define ON_WM_DROPFILES() {WM_DROPFILES, 0, 0, &ThisClass::OnDropFiles},
#define ON_WM_DROPTEXT() {WM_DROPTEXT, 0, 0, &ThisClass::OnDropText},
#define ON_UPDATE_COMMAND_UI(id, memberFxn) {WM_IDLEUPDATECMDUI, 0, id, &ThisClass::memberFxn},
#define ON_WM_MOUSELEAVE() {WM_MOUSELEAVE, 0, 0, &ThisClass::OnMouseLeave},
#define ON_COMMAND(id, memberFxn) {WM_COMMAND, 0, id, &ThisClass::memberFxn},
#define ON_BN_CLICKED(id, memberFxn) {WM_COMMAND, BN_CLICKED, id, &ThisClass::memberFxn},
// Every control from idFirst to idLast sending the notification; the handler
// takes the control's id: void OnXxx(UINT nID).
#define ON_CONTROL_RANGE(wNotifyCode, idFirst, idLast, memberFxn)                                  \
    {WM_COMMAND, wNotifyCode, idFirst,                                                             \
     static_cast<void (ThisClass::*)(UINT)>(&ThisClass::memberFxn), idLast},
#define ON_EN_CHANGE(id, memberFxn) {WM_COMMAND, EN_CHANGE, id, &ThisClass::memberFxn},
