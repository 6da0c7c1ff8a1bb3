#pragma once

// The About box: the icon, the program's name and version, and who wrote it.

#include "Resource.h"
#include "Wnd.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(IDD) {}

    enum { IDD = IDD_ABOUTBOX };
};
