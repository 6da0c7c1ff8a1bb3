#pragma once

// Windows, dialogs and data exchange.
//
// A dialog is built from a dialog template of the resources. Window messages
// and control notifications reach the dialog through its message table
// (CmdTarget.h), an ordered list of (message, notification, control id) ->
// member handler. Whatever the table does not handle gets the default
// handling of the class above it, and finally of CWnd itself.

#include "Afx.h"
#include "CmdTarget.h"
#include "Menu.h"

#include <memory>
#include <vector>

struct DialogTemplate;
namespace platform_detail {
class DialogHost;
}

// Loads an icon group of the resources once; the handle lives as long as the
// program. Null if there is no such icon.
HICON LoadIcon(int nIDResource);

// A window: the dialog itself or one of its controls.
class CWnd : public CCmdTarget {
public:
    CWnd();
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return m_hWnd; }
    // Makes this object stand for an existing window; false if it already
    // stands for one.
    bool Attach(HWND hWnd);

    // Delivers a message now, through the message table, and returns its
    // result. The messages the program sends are WM_SETICON, UDM_SETRANGE
    // and WM_ICONERASEBKGND; the windowing layer delivers the rest.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // The window's own system menu: the standard items and whatever the
    // program appends. With bRevert the appended items are dropped and null
    // is returned.
    CMenu* GetSystemMenu(bool bRevert);

    void GetClientRect(CRect* lpRect) const;
    // The window's rectangle in screen coordinates: a control's own, a
    // dialog's with the frame the window manager draws around it.
    void GetWindowRect(CRect* lpRect) const;
    // Converts a rectangle from screen to client coordinates.
    void ScreenToClient(CRect* lpRect) const;
    // Places the window: a control at a rectangle of its dialog's client
    // coordinates, a dialog at one of the screen's, whose client area then
    // takes what its frame leaves. A dialog whose corner stays where it is
    // keeps the place the window manager gives it. bRepaint changes nothing:
    // the screen shows every change at once.
    void MoveWindow(int x, int y, int nWidth, int nHeight, bool bRepaint = true);
    void MoveWindow(const CRect* lpRect, bool bRepaint = true);
    bool IsIconic() const;
    // Gives the window the keyboard focus.
    void SetFocus();
    // A disabled window is greyed and takes no input.
    void EnableWindow(bool bEnable = true);
    // SW_HIDE hides the window, SW_SHOW shows it again; a hidden control
    // takes no room in the keyboard's order.
    void ShowWindow(int nCmdShow);
    // The window's text: a control's label or contents, a dialog's caption.
    void SetWindowText(std::string_view text);
    // What assistive technology and the pointer's tip say of the window
    // beyond its name.
    void SetAccessibleDescription(std::string_view text);
    void SetToolTipText(std::string_view text);
    // Invalidates the whole client area and repaints it at once.
    void RedrawWindow();
    // Lets files and text be dropped on the window: files arrive as
    // WM_DROPFILES, text as WM_DROPTEXT, each once the drop has ended, so
    // that a handler may open a modal window without holding up the program
    // the drop came from. Controls that take text themselves (an editable
    // field) keep what is dropped on them.
    void DragAcceptFiles(bool bAccept = true);

    // A message box with one OK button, modal to this window. Without a
    // caption the application's name is used.
    int MessageBox(std::string_view text, const char* caption = nullptr, UINT nType = MB_OK);

protected:
    // Default handling of the message being handled.
    LRESULT Default();
    virtual LRESULT DefWindowProc(const MSG& msg);

    friend void DDX_Control(class CDataExchange*, int, CWnd&);

    HWND m_hWnd = nullptr;
    const MSG* m_pCurrentMsg = nullptr;
    std::unique_ptr<CMenu> m_pSystemMenu;
};

// The number of files dropped with iFile 0xFFFFFFFF; otherwise the name of
// file iFile in *pszFile and its length, or 0 if there is no such file.
UINT DragQueryFile(HDROP hDrop, UINT iFile, CString* pszFile);
// The text that was dropped; empty for a drop of files.
CString DragQueryText(HDROP hDrop);

// The up-down control: steps a number between two ends and writes it into
// its buddy, the edit before it.
class CSpinButtonCtrl : public CWnd {
public:
    // The position the arrows have reached.
    int GetPos() const;
};

// A single-line edit control.
class CEdit : public CWnd {
public:
    // Shows a balloon tip at the edit: a quiet hint of one line below it,
    // with no title or icon. It takes neither the focus nor the mouse, and
    // stays until HideBalloonTip. A dialog shows one tip at a time; showing
    // it again replaces it.
    bool ShowBalloonTip(const char* lpszText);
    bool HideBalloonTip();
    // Whether the user has changed the text since it was last set: typing,
    // pasting or deleting in the field make it so; text set by the program,
    // by data exchange or by a buddy up-down control's arrows does not.
    bool GetModify() const;
};

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, bool bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    // Marks the transfer as failed; the exchanges that follow do nothing.
    void Fail() { m_bFailed = true; }

    bool m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    bool m_bFailed = false;
};

// Attaches rControl to control nIDC, once.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// The position of the checked button of the radio group starting at nIDC, -1
// if none; writing checks that position.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// A whole number from nMin to nMax. A read of any other text warns at the
// field, keeps `value` and fails the transfer; the warning goes away once
// the text is valid again. Writes "%d".
void DDX_Text(CDataExchange* pDX, int nIDC, int& value, int nMin, int nMax);

// A modal dialog built from a dialog template.
class CDialog : public CWnd {
public:
    CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Builds the window, initialises it and runs it until it ends; returns
    // the code it ended with.
    int DoModal();
    // Builds, initialises and shows the window without running it; it stays
    // open until EndDialog or the object's end. Used where the caller runs
    // the events itself.
    bool Create();
    void EndDialog(int nResult);

    // Transfers between the members and the controls; false if a read failed.
    // Controls' notifications raised meanwhile are not delivered.
    bool UpdateData(bool bSaveAndValidate = true);

    virtual bool OnInitDialog();
    // Converts a rectangle of dialog units to client pixels, each edge on its
    // own, as the template's controls were placed.
    void MapDialogRect(CRect* lpRect) const;
    // The template the dialog is made from, or null if the resources have
    // none under its id.
    const DialogTemplate* GetTemplate() const;
    void SetIcon(HICON hIcon, bool bBigIcon);
    // The control nID of the dialog, or null. The object is the dialog's.
    CWnd* GetDlgItem(int nID);
    // Makes the keys of accelerator table nIDResource send their commands
    // wherever the focus is in the dialog, unless the focused control uses
    // the same keys itself (a text field's undo and paste) or the command's
    // update handler disables it.
    bool LoadAccelTable(UINT nIDResource);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnOK();
    virtual void OnCancel();
    // Default handling of the system commands.
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    LRESULT DefWindowProc(const MSG& msg) override;

private:
    // Builds and initialises the window once, leaving it hidden: a modal
    // dialog must not be visible before its modal loop starts, or window
    // managers may not treat it as modal.
    bool CreateHost();

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    std::unique_ptr<platform_detail::DialogHost> m_pOwnedHost;
    std::vector<std::unique_ptr<CWnd>> m_items;
};
