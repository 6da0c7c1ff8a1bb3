#include "EditorApp.h"

#include "AboutDlg.h"
#include "EditorDlg.h"
#include "ResourceTypes.h"

#include <string>
#include <utility>

namespace {

// Gives a variable a value for the life of a scope and puts its old value
// back however the scope ends, an exception included.
template <typename T>
class CScopedValue {
public:
    CScopedValue(T& target, T value) : m_target(target), m_old(std::exchange(target, value)) {}
    ~CScopedValue() { m_target = m_old; }
    CScopedValue(const CScopedValue&) = delete;
    CScopedValue& operator=(const CScopedValue&) = delete;

private:
    T& m_target;
    T m_old;
};

} // namespace

BEGIN_MESSAGE_MAP(CEditorApp, CWinApp)
ON_COMMAND(ID_HELP, OnHelp)
ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
END_MESSAGE_MAP()

CEditorApp::CEditorApp() {
    // Before any window: the framework finds its templates, menus and icons
    // in these.
    AfxSetResourceTables(ResourceTables());
    SetAppID(Version().appId);
    SetRegistryKey(Version().companyName);
}

bool CEditorApp::InitInstance() {
    CEditorDlg dlg;
    // The main window is the editor while it runs, and no window once the
    // dialog is gone.
    const CScopedValue<CWnd*> mainWnd(m_pMainWnd, &dlg);
    dlg.DoModal();

    // The dialog has ended: end the program rather than wait for messages.
    return false;
}

void CEditorApp::OnHelp() {
    ShowHelp(std::string(Version().productName) + " Help", HelpText());
}

void CEditorApp::OnAppAbout() {
    CAboutDlg dlgAbout;
    dlgAbout.DoModal();
}
