#pragma once

// Resource identifiers shared by the templates, the string table, the icon
// and the code that uses them.

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_EDITOR_DIALOG 102
#define IDD_CODE_STYLE 103

// Strings.
#define IDS_ABOUTBOX 101
#define IDS_HELPMENU 103

// The application icon (a group of a 32 x 32 and a 16 x 16 image).
#define IDR_MAINFRAME 128

// System-menu commands of the About and Help items.
#define IDM_ABOUTBOX 0x0010
#define IDM_HELPMENU 0x0020

// The editor's commands: the menu that the window menu and the grid's
// context menu show, and the keys that stand for them.
#define IDR_EDITOR_MENU 129
#define IDR_EDITOR_ACCEL 130
#define IDM_EDIT_UNDO 0x8010
#define IDM_EDIT_REDO 0x8020
#define IDM_PASTE_SPRITE 0x8030
#define IDM_OPEN 0x8040
#define IDM_SHIFT_LEFT 0x8050
#define IDM_SHIFT_RIGHT 0x8060
#define IDM_SHIFT_UP 0x8070
#define IDM_SHIFT_DOWN 0x8080
#define IDM_FLIP_HORIZONTAL 0x8090
#define IDM_FLIP_VERTICAL 0x80A0
#define IDM_INVERT 0x80B0
#define IDM_CODE_STYLE 0x80C0
#define IDM_COPY_CODE 0x80F0
#define IDM_SAVE 0x8100
#define IDM_SAVE_AS 0x8110

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
// Made by the editor rather than the template: the drawing grid, which takes
// the keyboard, and the preview.
#define IDC_GRID 1012
#define IDC_PREVIEW 1013

// Controls of the code style dialog. Each group is a run of radio slots with
// consecutive ids, one per row of its output form table in the table's
// order; the dialog hides the slots past the table's last row.
#define IDC_LAYOUT_FIRST 1020
#define IDC_LAYOUT_LAST 1025
#define IDC_LANGUAGE_FIRST 1030
#define IDC_LANGUAGE_LAST 1033
#define IDC_SIZE_FIRST 1040
#define IDC_SIZE_LAST 1043
#define IDC_SAMPLE 1050
// The frames of the three groups and of the sample: the dialog fits them to
// the rows the groups show.
#define IDC_LAYOUT_BOX 1060
#define IDC_LANGUAGE_BOX 1061
#define IDC_SIZE_BOX 1062
#define IDC_SAMPLE_BOX 1063
