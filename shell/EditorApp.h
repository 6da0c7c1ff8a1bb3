#pragma once

// The application: runs the editor as its main window and ends the program
// when the editor closes.

#include "WinApp.h"

class CEditorApp : public CWinApp {
public:
    CEditorApp() = default;
    bool InitInstance() override;

    DECLARE_MESSAGE_MAP()
};
