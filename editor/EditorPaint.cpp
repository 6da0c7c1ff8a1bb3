// Painting the document: the grid of cells and the preview on the client
// surface, and what assistive technology reads of them.

#include "EditorDlg.h"

#include "GridGeometry.h"

#include <cassert>
#include <string>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// ResetGrid walks one row and one column beyond the largest sprite, so that
// whatever stood there is painted over in the face colour; RedrawGrid walks
// exactly the largest sprite's cells.
constexpr int kLayoutColumns = kMaxSpriteColumns + 1;
constexpr int kLayoutRows = kMaxSpriteRows + 1;

// A sprite pixel's colour in the preview: black when set, white when clear,
// the face colour beyond the sprite.
COLORREF PreviewColor(const SpriteDocument& doc, SpriteCell cell, COLORREF face) {
    return !doc.Contains(cell) ? face : doc.IsSet(cell) ? kBlack : kWhite;
}

void FillPreviewSquare(CDC& dc, SpriteCell cell, COLORREF color) {
    const int x = kPreviewLeft + kPreviewScale * cell.column;
    const int y = kPreviewTop + kPreviewScale * cell.row;
    const CRect rect(x, y, x + kPreviewScale, y + kPreviewScale);
    CBrush brush(color);
    dc.FillRect(&rect, &brush);
}

} // namespace

CString CSpriteGrid::GetCellText(int nColumn, int nRow) const {
    const bool set = m_dlg.GetDocument().IsSet({nColumn, nRow});
    return CString("row " + std::to_string(nRow + 1) + ", column " + std::to_string(nColumn + 1) +
                   (set ? ", set" : ", clear"));
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
    if (m_doc.IsLaidOut())
        RedrawGrid();
}

void CEditorDlg::PaintCell(int nMode, int x, int y) {
    CClientDC dc(this);
    COLORREF color = GetSysColor(COLOR_BTNFACE);
    if (nMode == CELL_CLEAR || nMode == CELL_SET) {
        color = nMode == CELL_SET ? kBlack : kWhite;
        [[maybe_unused]] const bool stored = m_doc.Paint(CellAtCorner(x, y), nMode == CELL_SET);
        // Callers only paint cells of the laid-out sprite.
        assert(stored && "a cell outside the sprite was painted");
    }
    CRect rect;
    rect.SetRect(x, y, x + kCellSize, y + kCellSize);
    CBrush brush(color);
    dc.FillRect(&rect, &brush);
}

void CEditorDlg::PaintPreview() {
    if (!m_doc.IsLaidOut())
        return;
    CClientDC dc(this);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (int column = 0; column < kMaxSpriteColumns; ++column) {
        for (int row = 0; row < kMaxSpriteRows; ++row) {
            const SpriteCell cell{column, row};
            FillPreviewSquare(dc, cell, PreviewColor(m_doc, cell, face));
        }
    }
}

void CEditorDlg::PaintPreviewPixel(int nColumn, int nRow) {
    if (!m_doc.IsLaidOut() || nColumn < 0 || nColumn >= kMaxSpriteColumns || nRow < 0 ||
        nRow >= kMaxSpriteRows)
        return;
    CClientDC dc(this);
    const SpriteCell cell{nColumn, nRow};
    FillPreviewSquare(dc, cell, PreviewColor(m_doc, cell, GetSysColor(COLOR_BTNFACE)));
}

void CEditorDlg::RedrawGrid() {
    UpdateData(true);
    PaintPreview();
    for (int row = 0; row < kMaxSpriteRows; ++row) {
        for (int column = 0; column < kMaxSpriteColumns; ++column) {
            const SpriteCell cell{column, row};
            const int nMode = !m_doc.Contains(cell) ? CELL_OUTSIDE
                              : m_doc.IsSet(cell)   ? CELL_SET
                                                    : CELL_CLEAR;
            PaintCell(nMode, CellEdge(column), CellEdge(row));
        }
    }
}

void CEditorDlg::ResetGrid(LayoutSource source) {
    UpdateData(true);
    Changed(m_doc.Layout(WidthFromIndex(m_nWidthIndex), m_nHeight, source));
    for (int row = 0; row < kLayoutRows; ++row)
        for (int column = 0; column < kLayoutColumns; ++column)
            PaintCell(m_doc.Contains({column, row}) ? CELL_CLEAR : CELL_OUTSIDE, CellEdge(column),
                      CellEdge(row));
    m_strokePoint.reset();
    UpdateGridDimensions();
}

void CEditorDlg::ShowDocument() {
    // The name and the code stay as typed: read them before writing back.
    UpdateData(true);
    m_nWidthIndex = WidthIndexOf(m_doc.Width());
    m_nHeight = m_doc.Height();
    m_strokePoint.reset();
    UpdateData(false);
    UpdateTitle();
    UpdateGridDimensions();
    if (m_doc.IsLaidOut()) {
        RedrawGrid();
        return;
    }
    // Back before the first layout: the grid area and the preview are blank.
    for (int row = 0; row < kLayoutRows; ++row)
        for (int column = 0; column < kLayoutColumns; ++column)
            PaintCell(CELL_OUTSIDE, CellEdge(column), CellEdge(row));
    CClientDC dc(this);
    CBrush face(GetSysColor(COLOR_BTNFACE));
    const CRect preview(kPreviewLeft, kPreviewTop, kPreviewLeft + kPreviewWidth,
                        kPreviewTop + kPreviewHeight);
    dc.FillRect(&preview, &face);
}

void CEditorDlg::UpdateGridDimensions() {
    const bool ready = m_doc.IsLaidOut();
    const int w = ready ? m_doc.Width() : 0;
    const int h = ready ? m_doc.Height() : 0;
    m_grid.SetDimensions(w, h);
    m_grid.AllCellsChanged();
    m_preview.SetAccessibleDescription(ready
                                           ? "The sprite at twice its size, " + std::to_string(w) +
                                                 " by " + std::to_string(h) + " pixels"
                                           : std::string("Empty until New lays out the grid"));
}
