#include "EditorApp.h"

#include "AboutDlg.h"
#include "EditorDlg.h"
#include "ResourceTypes.h"

#include <string>

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
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;

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
