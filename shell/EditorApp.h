#pragma once

// The application: runs the editor as its main window and ends the program
// when the editor closes. It answers the help and About commands.

#include "WinApp.h"

class CEditorApp : public CWinApp {
public:
    CEditorApp();
    bool InitInstance() override;

protected:
    void OnHelp();
    void OnAppAbout();

    DECLARE_MESSAGE_MAP()
};
