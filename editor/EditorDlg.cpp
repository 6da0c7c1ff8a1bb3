#include "EditorDlg.h"

#include "ArrayReader.h"
#include "CodeStyleDlg.h"

#include "SourceEmitter.h"
#include "WinApp.h"

#include <cassert>
#include <cstdlib>
#include <string>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// The up-down range as one value: the low word (1) is the up arrow's end and
// the high word (16) the down arrow's, so the up arrow makes the sprite
// shorter.
constexpr LPARAM kHeightSpinRange = 0x00100001;

// ResetGrid walks one row and one column beyond the largest sprite, so that
// whatever stood there is painted over in the face colour.
constexpr int kLayoutLastX = kGridOrigin + kCellSize * kMaxSpriteColumns;
constexpr int kLayoutLastY = kGridOrigin + kCellSize * kMaxSpriteRows;
// RedrawGrid walks exactly the largest sprite's cells.
constexpr int kRedrawLastX = kLayoutLastX - kCellSize;
constexpr int kRedrawLastY = kLayoutLastY - kCellSize;

} // namespace

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
ON_COMMAND(IDM_OPEN_IMAGE, OnOpenImage)
ON_WM_DROPFILES()
ON_WM_DROPTEXT()
ON_EN_CHANGE(IDC_NAME, OnChangeName)
END_MESSAGE_MAP()

CString CSpriteGrid::GetCellText(int nColumn, int nRow) const {
    const int w = WidthFromIndex(m_dlg.m_nWidthIndex);
    const bool set = m_dlg.m_pixels.GetAt(nRow * w + nColumn) != 0;
    return CString("row " + std::to_string(nRow + 1) + ", column " + std::to_string(nColumn + 1) +
                   (set ? ", set" : ", clear"));
}

CEditorDlg::CEditorDlg(CWnd* pParent)
    : CDialog(IDD, pParent), m_nWidthIndex(-1), m_nHeight(0), m_hIcon(LoadIcon(IDR_MAINFRAME)) {}

void CEditorDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_HEIGHT_SPIN, m_spinHeight);
    DDX_Control(pDX, IDC_NAME, m_editName);
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
        CString strAboutMenu;
        strAboutMenu.LoadString(IDS_ABOUTBOX);
        if (!strAboutMenu.IsEmpty()) {
            pSysMenu->AppendMenu(MF_SEPARATOR);
            pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu.GetString());
        }
    }

    SetIcon(m_hIcon, true);
    SetIcon(m_hIcon, false);

    m_nWidthIndex = 0;
    m_bGridReady = false;
    m_spinHeight.SendMessage(UDM_SETRANGE, 0, kHeightSpinRange);
    m_nHeight = 8;
    UpdateData(false);

    // The grid takes the keyboard after the height field; until the first
    // layout it has no cells.
    constexpr CRect kGridArea(kGridOrigin, kGridOrigin, kGridOrigin + kCellSize * kMaxSpriteColumns,
                              kGridOrigin + kCellSize * kMaxSpriteRows);
    m_grid.Create(kGridArea, kCellSize, this, IDC_GRID, "Drawing area");
    m_preview.Create(CRect(kPreviewLeft, kPreviewTop,
                           kPreviewLeft + kPreviewScale * kMaxSpriteColumns,
                           kPreviewTop + kPreviewScale * kMaxSpriteRows),
                     this, IDC_PREVIEW, "Preview");
    UpdateGridDimensions();
    LoadAccelTable(IDR_EDITOR_ACCEL);

    // A missing or unknown setting means that choice's default.
    if (CWinApp* pApp = AfxGetApp())
        m_codeForm = CodeFormFromKeys(pApp->GetProfileString("", kCodeStyleEntry, "").str(),
                                      pApp->GetProfileString("", kCodeLanguageEntry, "").str(),
                                      pApp->GetProfileString("", kCodeSizeEntry, "").str());
    // C text and image files dropped anywhere on the window are read as a
    // sprite; the name and height fields keep text dropped on them.
    DragAcceptFiles();
    return true;
}

void CEditorDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    // The About box is the application's: the command goes there.
    if ((nID & 0xFFF0) == IDM_ABOUTBOX)
        SendMessage(WM_COMMAND, ID_APP_ABOUT);
    else if (nID < SC_SIZE)
        SendMessage(WM_COMMAND, nID); // the editor's own commands
    else
        CDialog::OnSysCommand(nID, lParam);
}

void CEditorDlg::OnPaint() {
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, dc.GetSafeHdc(), 0);

        const int cxIcon = GetSystemMetrics(SM_CXICON);
        const int cyIcon = GetSystemMetrics(SM_CYICON);
        CRect rect;
        GetClientRect(&rect);
        const int x = (rect.Width() - cxIcon + 1) / 2;
        const int y = (rect.Height() - cyIcon + 1) / 2;
        dc.DrawIcon(x, y, m_hIcon);
        return;
    }
    CDialog::OnPaint();
    if (m_bGridReady)
        RedrawGrid();
}

HCURSOR CEditorDlg::OnQueryDragIcon() {
    return m_hIcon;
}

void CEditorDlg::PaintCell(int nMode, int x, int y) {
    CClientDC dc(this);
    COLORREF color = GetSysColor(COLOR_BTNFACE);
    if (nMode == CELL_CLEAR || nMode == CELL_SET) {
        color = nMode == CELL_SET ? kBlack : kWhite;
        [[maybe_unused]] const bool stored = m_pixels.SetAt(
            PixelIndex(x, y, WidthFromIndex(m_nWidthIndex)), static_cast<UINT>(nMode));
        // Callers only paint cells of the laid-out sprite.
        assert(stored && "a cell outside the raster was painted");
    }
    CRect rect;
    rect.SetRect(x, y, x + kCellSize, y + kCellSize);
    CBrush brush(color);
    dc.FillRect(&rect, &brush);
}

void CEditorDlg::PaintPreview() {
    if (!m_bGridReady)
        return;
    CClientDC dc(this);
    const int w = WidthFromIndex(m_nWidthIndex);
    const int h = m_nHeight;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    constexpr int kPreviewWidth = kPreviewScale * kMaxSpriteColumns;
    constexpr int kPreviewHeight = kPreviewScale * kMaxSpriteRows;
    for (int px = 0; px < kPreviewWidth; px += kPreviewScale) {
        for (int py = 0; py < kPreviewHeight; py += kPreviewScale) {
            COLORREF color = face;
            if (px < kPreviewScale * w && py < kPreviewScale * h)
                color =
                    m_pixels.GetAt((py / kPreviewScale) * w + px / kPreviewScale) ? kBlack : kWhite;
            CBrush brush(color);
            const CRect rect(kPreviewLeft + px, kPreviewTop + py, kPreviewLeft + px + kPreviewScale,
                             kPreviewTop + py + kPreviewScale);
            dc.FillRect(&rect, &brush);
        }
    }
}

void CEditorDlg::RedrawGrid() {
    UpdateData(true);
    PaintPreview();
    const int w = WidthFromIndex(m_nWidthIndex);
    const int h = m_nHeight;
    for (int y = kGridOrigin; y <= kRedrawLastY; y += kCellSize) {
        for (int x = kGridOrigin; x <= kRedrawLastX; x += kCellSize) {
            if (IsInsideSprite(x, y, w, h))
                PaintCell(static_cast<int>(m_pixels.GetAt(PixelIndex(x, y, w))), x, y);
            else
                PaintCell(CELL_OUTSIDE, x, y);
        }
    }
}

void CEditorDlg::ResetGrid() {
    m_bGridReady = true;
    UpdateData(true);
    const int w = WidthFromIndex(m_nWidthIndex);
    m_pixels.SetSize(m_nHeight * w);
    for (int y = kGridOrigin; y <= kLayoutLastY; y += kCellSize) {
        for (int x = kGridOrigin; x <= kLayoutLastX; x += kCellSize) {
            if (IsInsideSprite(x, y, w, m_nHeight))
                PaintCell(CELL_CLEAR, x, y);
            else
                PaintCell(CELL_OUTSIDE, x, y);
        }
    }
    m_strokePoint.reset();
    UpdateGridDimensions();
}

void CEditorDlg::OnNew() {
    SpriteState before = Capture();
    ResetGrid();
    PaintPreview();
    Commit(std::move(before));
}

void CEditorDlg::OnWidth(int nIndex) {
    // m_nWidthIndex still holds the width read before the click: the same
    // button clicked again keeps the drawing.
    if (m_nWidthIndex == nIndex)
        return;
    SpriteState before = Capture();
    ResetGrid();
    // The preview follows the new, empty grid at once.
    PaintPreview();
    Commit(std::move(before));
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
    if (!m_bGridReady)
        return;
    SpriteState before = Capture();
    if (!UpdateData(true))
        return;
    ResetGrid();
    PaintPreview();
    Commit(std::move(before));
}

void CEditorDlg::OnChangeName() {
    UpdateData(true);
    // The name goes into the code verbatim. One that is not a C identifier
    // is the user's to keep, so it gets a quiet hint, never an error; an
    // empty one is Make Code's to report.
    if (m_strName.IsEmpty() || IsCIdentifier(m_strName))
        m_editName.HideBalloonTip();
    else
        m_editName.ShowBalloonTip("Not a C identifier: the code will not compile as it is.");
}

void CEditorDlg::OnButtonDown(int nMode, CPoint point) {
    // Before the first layout there is no raster to draw into.
    if (!m_bGridReady)
        return;
    // The stroke, from this button down to the last button up, is one
    // step, wherever it starts.
    if (!m_strokeBefore)
        m_strokeBefore = Capture();
    m_strokePoint = point;
    if (const auto hit = CellHitTest(point.x, point.y, WidthFromIndex(m_nWidthIndex), m_nHeight)) {
        // The grid takes the keyboard, so that undo follows at once, and its
        // cursor follows the mouse.
        m_grid.SetFocus();
        m_grid.SetCurCell((hit->x - kGridOrigin) / kCellSize, (hit->y - kGridOrigin) / kCellSize);
        PaintCell(nMode, hit->x, hit->y);
        PaintPreview();
    }
}

void CEditorDlg::OnLButtonDown(UINT /*nFlags*/, CPoint point) {
    OnButtonDown(CELL_SET, point);
    Default();
}

void CEditorDlg::OnRButtonDown(UINT /*nFlags*/, CPoint point) {
    OnButtonDown(CELL_CLEAR, point);
    Default();
}

void CEditorDlg::OnMouseMove(UINT nFlags, CPoint point) {
    UpdateData(true);
    const bool drawing = m_bGridReady && (nFlags & (MK_LBUTTON | MK_RBUTTON)) != 0;
    if (drawing) {
        // A stroke that came back into the window starts where it came in.
        const CPoint from = m_strokePoint.value_or(point);
        // With both buttons held the erase comes last, so the cells end clear.
        if ((nFlags & MK_LBUTTON) && PaintStroke(CELL_SET, from, point))
            PaintPreview();
        if ((nFlags & MK_RBUTTON) && PaintStroke(CELL_CLEAR, from, point))
            PaintPreview();
        // The grid's cursor follows the last cell drawn.
        if (const auto hit =
                CellHitTest(point.x, point.y, WidthFromIndex(m_nWidthIndex), m_nHeight))
            m_grid.SetCurCell((hit->x - kGridOrigin) / kCellSize,
                              (hit->y - kGridOrigin) / kCellSize);
    }
    m_strokePoint = drawing ? std::optional(point) : std::nullopt;
    Default();
}

void CEditorDlg::OnMouseLeave() {
    m_strokePoint.reset();
}

bool CEditorDlg::PaintStroke(int nMode, CPoint from, CPoint to) {
    // Bresenham's line over cell columns and rows, from the cell under one
    // point to the cell under the other, counting cells beyond the sprite's
    // edges too (rounding toward minus infinity left of and above the grid);
    // only the cells of the sprite are painted.
    const auto cellOf = [](int v) {
        const int offset = v - kGridOrigin;
        return (offset >= 0 ? offset : offset - (kCellSize - 1)) / kCellSize;
    };
    const int w = WidthFromIndex(m_nWidthIndex);
    int col = cellOf(from.x);
    int row = cellOf(from.y);
    const int lastCol = cellOf(to.x);
    const int lastRow = cellOf(to.y);
    const int dx = std::abs(lastCol - col);
    const int dy = -std::abs(lastRow - row);
    const int stepCol = col < lastCol ? 1 : -1;
    const int stepRow = row < lastRow ? 1 : -1;
    int error = dx + dy;
    bool painted = false;
    for (;;) {
        const int x = kGridOrigin + kCellSize * col;
        const int y = kGridOrigin + kCellSize * row;
        if (col >= 0 && row >= 0 && IsInsideSprite(x, y, w, m_nHeight)) {
            PaintCell(nMode, x, y);
            painted = true;
        }
        if (col == lastCol && row == lastRow)
            return painted;
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            col += stepCol;
        }
        if (twice <= dx) {
            error += dx;
            row += stepRow;
        }
    }
}

void CEditorDlg::OnMakeCode() {
    UpdateData(true);
    if (!m_bGridReady)
        return;
    if (m_strName.IsEmpty()) {
        MessageBox("You must enter a name for the sprite!");
        return;
    }
    m_strCode =
        EmitCode(m_codeForm, m_strName, {WidthFromIndex(m_nWidthIndex), m_nHeight, m_pixels});
    UpdateData(false);
    // The code box says which layout it holds, where it is not the default.
    const std::string_view description = WrittenLayout(m_codeForm).description;
    CWnd* pCode = GetDlgItem(IDC_CODE);
    pCode->SetToolTipText(description);
    pCode->SetAccessibleDescription(description);
}

void CEditorDlg::OnLButtonUp(UINT nFlags, CPoint /*point*/) {
    if (!(nFlags & (MK_LBUTTON | MK_RBUTTON)))
        EndStroke();
    Default();
}

void CEditorDlg::OnRButtonUp(UINT nFlags, CPoint /*point*/) {
    if (!(nFlags & (MK_LBUTTON | MK_RBUTTON)))
        EndStroke();
    Default();
}

void CEditorDlg::OnCodeStyle() {
    // The sample shows the sprite as it stands, with the height in force.
    UpdateData(true);
    const SpriteBits sprite{WidthFromIndex(m_nWidthIndex), m_nHeight, m_pixels};
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

void CEditorDlg::Restore(const SpriteState& state) {
    // The name and the code stay as typed: read them before writing back.
    UpdateData(true);
    m_nWidthIndex = state.nWidthIndex;
    m_nHeight = state.nHeight;
    m_bGridReady = state.bLaidOut;
    m_pixels.SetSize(static_cast<int>(state.pixels.size()));
    for (std::size_t i = 0; i < state.pixels.size(); ++i)
        m_pixels.SetAt(static_cast<int>(i), state.pixels[i]);
    m_strokePoint.reset();
    UpdateData(false);
    UpdateGridDimensions();
    if (m_bGridReady) {
        RedrawGrid();
        return;
    }
    // Back before the first layout: the grid area and the preview are blank.
    for (int y = kGridOrigin; y <= kLayoutLastY; y += kCellSize)
        for (int x = kGridOrigin; x <= kLayoutLastX; x += kCellSize)
            PaintCell(CELL_OUTSIDE, x, y);
    CClientDC dc(this);
    CBrush face(GetSysColor(COLOR_BTNFACE));
    const CRect preview(kPreviewLeft, kPreviewTop, kPreviewLeft + kPreviewScale * kMaxSpriteColumns,
                        kPreviewTop + kPreviewScale * kMaxSpriteRows);
    dc.FillRect(&preview, &face);
}
