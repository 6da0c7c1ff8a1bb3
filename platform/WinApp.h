#pragma once

// The application: one global object whose InitInstance runs the program.

#include "Afx.h"
#include "CmdTarget.h"

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <limits>
#include <string_view>
#include <vector>

class CWnd;

class CWinApp : public CCmdTarget {
public:
    // Without a name the application is named after the executable's file
    // name, its extension dropped.
    explicit CWinApp(const char* pszAppName = nullptr);
    ~CWinApp() override;

    // Runs the program; returning false ends it at once.
    virtual bool InitInstance();

    // Routes a command the windows did not handle.
    bool OnCmdMsg(UINT nID);

    // The desktop identity of the program's windows: the name of its desktop
    // entry, so that desktops match the two.
    void SetAppID(std::string_view appID) { m_strAppID = CString(appID); }

    // The settings the application keeps are stored under the company's
    // name and the application's: a file company/name.conf in the user's
    // configuration folder. Without a company nothing is stored.
    void SetRegistryKey(std::string_view company) { m_strRegistryKey = CString(company); }
    // A stored setting of `section` ("" for the general one), or the default
    // when it is missing or cannot be read.
    CString GetProfileString(std::string_view section, std::string_view entry,
                             std::string_view defaultValue) const;
    // Several settings of `section` in one reading of the store, in the
    // order asked: each its stored value, or "" when it is missing or cannot
    // be read.
    std::vector<CString> GetProfileStrings(std::string_view section,
                                           std::initializer_list<std::string_view> entries) const;
    bool WriteProfileString(std::string_view section, std::string_view entry,
                            std::string_view value);

    // The application's name (the caption of message boxes without one).
    CString m_pszAppName;
    CWnd* m_pMainWnd = nullptr;
    // The file the command line names for the main window to open; empty
    // for none.
    CString m_strFileName;

protected:
    // Shows a window with the text beside the main window, one at a time; it
    // does not block. Help has no file behind it: this is all of it.
    void ShowHelp(std::string_view title, std::string_view text);

private:
    CString m_strAppID;
    CString m_strRegistryKey;
    friend int AfxWinMain(int argc, char** argv);
};

CWinApp* AfxGetApp();

// The text on the system clipboard; empty if it holds none. A text longer
// than nMaxBytes (in UTF-8) comes back cut after nMaxBytes + 1 bytes, measured
// before it is converted, so that a caller with that limit can refuse it
// without the whole of it being held several times over.
CString AfxGetClipboardText(std::size_t nMaxBytes = std::numeric_limits<std::size_t>::max());
// Puts the text on the system clipboard, as plain text, in place of what it
// held.
void AfxSetClipboardText(std::string_view text);

// The program's entry: makes the toolkit's application from the program
// name alone (the command line is not read), names the application, and runs
// the global application object's InitInstance.
int AfxWinMain(int argc, char** argv);

// What a message box shows; replaced in tests so that no box waits for a
// person. The hook returns the button pressed.
struct MessageBoxRequest {
    CString text;
    CString caption;
    UINT nType;
};
using MessageBoxHook = std::function<int(const MessageBoxRequest&)>;
// Installs a hook for every message box that follows; an empty one restores
// the real boxes.
void AfxSetMessageBoxHook(MessageBoxHook hook);
