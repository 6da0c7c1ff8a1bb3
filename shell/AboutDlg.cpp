#include "AboutDlg.h"

#include "AboutBox.h"

void ShowAboutBox() {
    CAboutDlg dlgAbout;
    dlgAbout.DoModal();
}
