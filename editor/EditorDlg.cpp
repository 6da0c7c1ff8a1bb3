#include "EditorDlg.h"

#include "ArrayReader.h"
#include "SourceEmitter.h"

#include <cassert>
#include <cstdlib>

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
ON_EN_CHANGE(IDC_NAME, OnChangeName)
END_MESSAGE_MAP()

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
    return true;
}

void CEditorDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    // The About box is the application's: the command goes there.
    if ((nID & 0xFFF0) == IDM_ABOUTBOX)
        SendMessage(WM_COMMAND, ID_APP_ABOUT);
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
}

void CEditorDlg::OnNew() {
    ResetGrid();
    PaintPreview();
}

void CEditorDlg::OnWidth(int nIndex) {
    // m_nWidthIndex still holds the width read before the click: the same
    // button clicked again keeps the drawing.
    if (m_nWidthIndex == nIndex)
        return;
    ResetGrid();
    // The preview follows the new, empty grid at once.
    PaintPreview();
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
    if (!m_bGridReady || !UpdateData(true))
        return;
    ResetGrid();
    PaintPreview();
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
    m_strokePoint = point;
    if (const auto hit = CellHitTest(point.x, point.y, WidthFromIndex(m_nWidthIndex), m_nHeight)) {
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
    m_strCode = EmitDeclaration(m_nWidthIndex, m_strName, m_nHeight, m_pixels);
    UpdateData(false);
}
