#include "EditorApp.h"

#include "EditorDlg.h"

BEGIN_MESSAGE_MAP(CEditorApp, CWinApp)
ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

bool CEditorApp::InitInstance() {
    Enable3dControls();

    CEditorDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;

    // The dialog has ended: end the program rather than wait for messages.
    return false;
}
