#pragma once

// Resource identifiers shared by the templates, the string table, the icon
// and the code that uses them.

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_EDITOR_DIALOG 102

// Strings.
#define IDS_ABOUTBOX 101

// The application icon (a group of a 32 x 32 and a 16 x 16 image).
#define IDR_MAINFRAME 128

// System-menu command of the About item.
#define IDM_ABOUTBOX 0x0010

// Controls of the editor dialog.
#define IDC_STATIC (-1)
#define IDC_WIDTH8 1000
#define IDC_WIDTH16 1001
#define IDC_WIDTH32 1002
#define IDC_CODE 1003
#define IDC_NEW 1006
#define IDC_MAKECODE 1007
#define IDC_NAME 1009
#define IDC_HEIGHT 1010
#define IDC_HEIGHT_SPIN 1011
