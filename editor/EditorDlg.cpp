// The editor's binding to its controls: the message table, the transfer of
// the width, height, name and code, the layout commands of the fields and
// New, and Make Code with its code style.

#include "EditorDlg.h"

#include "ArrayReader.h"
#include "CodeStyleDlg.h"
#include "GridGeometry.h"
#include "SourceEmitter.h"
#include "WinApp.h"

#include <string>
#include <vector>

namespace {

// The up-down range as one value: the low word (1) is the up arrow's end and
// the high word (16) the down arrow's, so the up arrow makes the sprite
// shorter.
constexpr LPARAM kHeightSpinRange = 0x00100001;

} // namespace

int WidthFromIndex(std::int32_t nWidthIndex) {
    switch (nWidthIndex) {
    case 0:
        return 8;
    case 1:
        return 16;
    case 2:
        return 32;
    default:
        return 0;
    }
}

int WidthIndexOf(int width) {
    int nIndex = 0;
    while (WidthFromIndex(nIndex) != 0 && WidthFromIndex(nIndex) != width)
        ++nIndex;
    return WidthFromIndex(nIndex) != 0 ? nIndex : 0;
}

BEGIN_MESSAGE_MAP(CEditorDlg, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_BN_CLICKED(IDC_NEW, OnNew)
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_WM_RBUTTONDOWN()
ON_WM_MOUSELEAVE()
ON_BN_CLICKED(IDC_MAKECODE, OnMakeCode)
ON_COMMAND(IDM_COPY_CODE, OnCopyCode)
ON_UPDATE_COMMAND_UI(IDM_COPY_CODE, OnUpdateNeedsGrid)
ON_BN_CLICKED(IDC_WIDTH8, OnWidth8)
ON_BN_CLICKED(IDC_WIDTH16, OnWidth16)
ON_BN_CLICKED(IDC_WIDTH32, OnWidth32)
ON_EN_CHANGE(IDC_HEIGHT, OnChangeHeight)
ON_WM_LBUTTONUP()
ON_WM_RBUTTONUP()
ON_WM_KEYDOWN()
ON_WM_CONTEXTMENU()
ON_COMMAND(IDM_EDIT_UNDO, OnEditUndo)
ON_COMMAND(IDM_EDIT_REDO, OnEditRedo)
ON_COMMAND(IDM_SHIFT_LEFT, OnShiftLeft)
ON_COMMAND(IDM_SHIFT_RIGHT, OnShiftRight)
ON_COMMAND(IDM_SHIFT_UP, OnShiftUp)
ON_COMMAND(IDM_SHIFT_DOWN, OnShiftDown)
ON_COMMAND(IDM_FLIP_HORIZONTAL, OnFlipHorizontal)
ON_COMMAND(IDM_FLIP_VERTICAL, OnFlipVertical)
ON_COMMAND(IDM_INVERT, OnInvert)
ON_UPDATE_COMMAND_UI(IDM_EDIT_UNDO, OnUpdateEditUndo)
ON_UPDATE_COMMAND_UI(IDM_EDIT_REDO, OnUpdateEditRedo)
ON_UPDATE_COMMAND_UI(IDM_SHIFT_LEFT, OnUpdateNeedsGrid)
ON_UPDATE_COMMAND_UI(IDM_SHIFT_RIGHT, OnUpdateNeedsGrid)
ON_UPDATE_COMMAND_UI(IDM_SHIFT_UP, OnUpdateNeedsGrid)
ON_UPDATE_COMMAND_UI(IDM_SHIFT_DOWN, OnUpdateNeedsGrid)
ON_UPDATE_COMMAND_UI(IDM_FLIP_HORIZONTAL, OnUpdateNeedsGrid)
ON_UPDATE_COMMAND_UI(IDM_FLIP_VERTICAL, OnUpdateNeedsGrid)
ON_UPDATE_COMMAND_UI(IDM_INVERT, OnUpdateNeedsGrid)
ON_COMMAND(IDM_CODE_STYLE, OnCodeStyle)
ON_COMMAND(IDM_PASTE_SPRITE, OnPasteSprite)
ON_COMMAND(IDM_OPEN, OnOpen)
ON_COMMAND(IDM_SAVE, OnSave)
ON_COMMAND(IDM_SAVE_AS, OnSaveAs)
ON_UPDATE_COMMAND_UI(IDM_SAVE, OnUpdateNeedsGrid)
ON_UPDATE_COMMAND_UI(IDM_SAVE_AS, OnUpdateNeedsGrid)
ON_WM_DROPFILES()
ON_WM_DROPTEXT()
ON_EN_CHANGE(IDC_NAME, OnChangeName)
END_MESSAGE_MAP()

CEditorDlg::CEditorDlg(CWnd* pParent)
    : CDialog(IDD, pParent), m_nWidthIndex(-1), m_nHeight(0), m_hIcon(LoadIcon(IDR_MAINFRAME)) {}

void CEditorDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_HEIGHT_SPIN, m_spinHeight);
    DDX_Control(pDX, IDC_NAME, m_editName);
    DDX_Control(pDX, IDC_HEIGHT, m_editHeight);
    DDX_Radio(pDX, IDC_WIDTH8, m_nWidthIndex);
    DDX_Text(pDX, IDC_CODE, m_strCode);
    DDX_Text(pDX, IDC_NAME, m_strName);
    // Only heights the grid can show are taken; any other text keeps the
    // height in force and warns at the field.
    DDX_Text(pDX, IDC_HEIGHT, m_nHeight, kMinSpriteHeight, kMaxSpriteHeight);
}

bool CEditorDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    // The editor's commands stand in the window menu above About.
    if (CMenu* pSysMenu = GetSystemMenu(false)) {
        pSysMenu->AppendMenu(MF_SEPARATOR);
        pSysMenu->LoadMenu(IDR_EDITOR_MENU);
    }

    if (CMenu* pSysMenu = GetSystemMenu(false)) {
        CString strHelpMenu;
        strHelpMenu.LoadString(IDS_HELPMENU);
        CString strAboutMenu;
        strAboutMenu.LoadString(IDS_ABOUTBOX);
        if (!strAboutMenu.IsEmpty()) {
            pSysMenu->AppendMenu(MF_SEPARATOR);
            if (!strHelpMenu.IsEmpty())
                pSysMenu->AppendMenu(MF_STRING, IDM_HELPMENU, strHelpMenu.GetString());
            pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu.GetString());
        }
    }

    SetIcon(m_hIcon, true);
    SetIcon(m_hIcon, false);

    m_nWidthIndex = 0;
    m_spinHeight.SendMessage(UDM_SETRANGE, 0, kHeightSpinRange);
    m_nHeight = 8;
    UpdateData(false);

    // The grid takes the keyboard after the height field; until the first
    // layout it has no cells.
    constexpr CRect kGridArea(kGridOrigin, kGridOrigin, CellEdge(kMaxSpriteColumns),
                              CellEdge(kMaxSpriteRows));
    m_grid.Create(kGridArea, kCellSize, this, IDC_GRID, "Drawing area");
    m_preview.Create(CRect(kPreviewLeft, kPreviewTop, kPreviewLeft + kPreviewWidth,
                           kPreviewTop + kPreviewHeight),
                     this, IDC_PREVIEW, "Preview");
    UpdateGridDimensions();
    LoadAccelTable(IDR_EDITOR_ACCEL);

    // A missing or unknown setting means that choice's default.
    if (CWinApp* pApp = AfxGetApp()) {
        const std::vector<CString> keys =
            pApp->GetProfileStrings("", {kCodeStyleEntry, kCodeLanguageEntry, kCodeSizeEntry});
        m_codeForm = CodeFormFromKeys(keys[0].str(), keys[1].str(), keys[2].str());
    }
    // C text and image files dropped anywhere on the window are read as a
    // sprite; the name and height fields keep text dropped on them.
    DragAcceptFiles();
    RestoreHistory();
    // As the main window, the file the command line names ("FILE" or
    // "FILE:NAME") opens once the drawing is ready.
    if (CWinApp* pApp = AfxGetApp();
        pApp && pApp->m_pMainWnd == this && !pApp->m_strFileName.IsEmpty())
        OpenPath(pApp->m_strFileName);
    return true;
}

void CEditorDlg::OnOK() {
    // A height the field refuses keeps the window open, and then nothing
    // has ended.
    if (!UpdateData(true))
        return;
    // Unsaved changes to an open C file are saved or given up first, or
    // the window stays.
    if (!KeepChanges())
        return;
    KeepHistory();
    CDialog::OnOK();
}

void CEditorDlg::OnCancel() {
    if (!KeepChanges())
        return;
    KeepHistory();
    CDialog::OnCancel();
}

void CEditorDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    // The About box and the help are the application's: the commands go
    // there, help as the one F1 sends.
    if ((nID & 0xFFF0) == IDM_ABOUTBOX)
        SendMessage(WM_COMMAND, ID_APP_ABOUT);
    else if ((nID & 0xFFF0) == IDM_HELPMENU)
        SendMessage(WM_COMMAND, ID_HELP);
    else if (nID < SC_SIZE)
        SendMessage(WM_COMMAND, nID); // the editor's own commands
    else
        CDialog::OnSysCommand(nID, lParam);
}

HCURSOR CEditorDlg::OnQueryDragIcon() {
    return m_hIcon;
}

void CEditorDlg::LayOutAgain() {
    EndStroke();
    KeepBlankSize();
    ResetGrid();
    // The preview follows the new, empty grid at once.
    PaintPreview();
}

void CEditorDlg::KeepBlankSize() {
    m_doc.SetBlankSize(WidthFromIndex(m_nWidthIndex), m_nHeight);
}

void CEditorDlg::OnNew() {
    LayOutAgain();
}

void CEditorDlg::OnWidth(int nIndex) {
    // m_nWidthIndex still holds the width read before the click: the same
    // button clicked again keeps the drawing.
    if (m_nWidthIndex == nIndex)
        return;
    LayOutAgain();
}

void CEditorDlg::OnWidth8() {
    OnWidth(0);
}
void CEditorDlg::OnWidth16() {
    OnWidth(1);
}
void CEditorDlg::OnWidth32() {
    OnWidth(2);
}

void CEditorDlg::OnChangeHeight() {
    // A text the read refuses lays nothing out: the drawing stays until the
    // text is a valid height again, and each valid one lays the grid out.
    // The step starts from the drawing before the read takes the new height.
    if (!m_doc.IsLaidOut())
        return;
    EndStroke();
    if (!UpdateData(true))
        return;
    // Text the user typed, rather than an arrow's step, joins the layouts
    // typed just before it: "12" is one step.
    ResetGrid(m_editHeight.GetModify() ? LayoutSource::HeightTyping : LayoutSource::Command);
    PaintPreview();
}

void CEditorDlg::OnChangeName() {
    UpdateData(true);
    m_doc.SetName(m_strName.str());
    // The name goes into the code verbatim. One that is not a C identifier
    // is the user's to keep, so it gets a quiet hint, never an error; an
    // empty one is Make Code's to report.
    if (m_strName.IsEmpty() || IsCIdentifier(m_strName))
        m_editName.HideBalloonTip();
    else
        m_editName.ShowBalloonTip("Not a C identifier: the code will not compile as it is.");
}

void CEditorDlg::OnMakeCode() {
    MakeCode();
}

void CEditorDlg::OnCopyCode() {
    if (MakeCode())
        AfxSetClipboardText(m_strCode);
}

bool CEditorDlg::ReadSpriteToWrite() {
    UpdateData(true);
    if (!m_doc.IsLaidOut())
        return false;
    if (m_strName.IsEmpty()) {
        MessageBox("You must enter a name for the sprite!");
        return false;
    }
    return true;
}

bool CEditorDlg::MakeCode() {
    if (!ReadSpriteToWrite())
        return false;
    m_doc.SetName(m_strName.str());
    m_strCode = EmitCode(m_codeForm, m_doc.Name(), {m_doc.Width(), m_doc.Height(), m_doc.Pixels()});
    UpdateData(false);
    // The code box says which layout it holds, where it is not the default.
    const std::string_view description = WrittenLayout(m_codeForm).description;
    CWnd* pCode = GetDlgItem(IDC_CODE);
    pCode->SetToolTipText(description);
    pCode->SetAccessibleDescription(description);
    return true;
}

void CEditorDlg::OnCodeStyle() {
    // The sample shows the sprite as it stands, with the height in force.
    UpdateData(true);
    const SpriteBits sprite{m_doc.IsLaidOut() ? m_doc.Width() : WidthFromIndex(m_nWidthIndex),
                            m_doc.IsLaidOut() ? m_doc.Height() : m_nHeight, m_doc.Pixels()};
    CCodeStyleDlg dlg(m_codeForm, m_strName.str(), sprite, this);
    if (dlg.DoModal() != IDOK)
        return;
    m_codeForm = dlg.GetForm();
    // Written only when the user picks.
    if (CWinApp* pApp = AfxGetApp()) {
        pApp->WriteProfileString("", kCodeStyleEntry, CodeStyleKey(m_codeForm.style));
        pApp->WriteProfileString("", kCodeLanguageEntry, LanguageOf(m_codeForm.language).key);
        pApp->WriteProfileString("", kCodeSizeEntry, SizeOf(m_codeForm.size).key);
    }
}
