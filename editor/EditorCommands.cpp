// The editor's commands beyond drawing with the mouse: the history of the
// drawing with undo and redo, the grid's keys, and the shifts, flips and
// invert of the whole sprite.

#include "EditorDlg.h"

#include "SpriteTransform.h"

#include <string>
#include <utility>

SpriteState CEditorDlg::Capture() const {
    const std::span<const std::uint32_t> pixels = m_pixels;
    return {m_nWidthIndex, m_nHeight, {pixels.begin(), pixels.end()}, m_bGridReady};
}

void CEditorDlg::Commit(SpriteState before) {
    if (before == Capture())
        return;
    m_history.Record(std::move(before));
    // Assistive technology reads the cells again.
    m_grid.AllCellsChanged();
}

void CEditorDlg::EndStroke() {
    if (m_strokeBefore)
        Commit(std::move(*m_strokeBefore));
    m_strokeBefore.reset();
}

void CEditorDlg::UpdateGridDimensions() {
    const int w = m_bGridReady ? WidthFromIndex(m_nWidthIndex) : 0;
    const int h = m_bGridReady ? m_nHeight : 0;
    m_grid.SetDimensions(w, h);
    m_grid.AllCellsChanged();
    m_preview.SetAccessibleDescription(m_bGridReady
                                           ? "The sprite at twice its size, " + std::to_string(w) +
                                                 " by " + std::to_string(h) + " pixels"
                                           : std::string("Empty until New lays out the grid"));
}

void CEditorDlg::OnEditUndo() {
    EndStroke();
    if (m_history.CanUndo())
        Restore(*m_history.Undo(Capture()));
}

void CEditorDlg::OnEditRedo() {
    EndStroke();
    if (m_history.CanRedo())
        Restore(*m_history.Redo(Capture()));
}

void CEditorDlg::OnUpdateEditUndo(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_history.CanUndo());
}

void CEditorDlg::OnUpdateEditRedo(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_history.CanRedo());
}

void CEditorDlg::OnUpdateNeedsGrid(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_bGridReady);
}

void CEditorDlg::Transform(void (*transform)(std::span<std::uint32_t>, int, int)) {
    if (!m_bGridReady)
        return;
    EndStroke();
    SpriteState before = Capture();
    transform(m_pixels, WidthFromIndex(m_nWidthIndex), m_nHeight);
    Commit(std::move(before));
    RedrawGrid();
}

void CEditorDlg::OnShiftLeft() {
    Transform([](std::span<std::uint32_t> p, int w, int h) { ShiftPixels(p, w, h, -1, 0); });
}
void CEditorDlg::OnShiftRight() {
    Transform([](std::span<std::uint32_t> p, int w, int h) { ShiftPixels(p, w, h, 1, 0); });
}
void CEditorDlg::OnShiftUp() {
    Transform([](std::span<std::uint32_t> p, int w, int h) { ShiftPixels(p, w, h, 0, -1); });
}
void CEditorDlg::OnShiftDown() {
    Transform([](std::span<std::uint32_t> p, int w, int h) { ShiftPixels(p, w, h, 0, 1); });
}
void CEditorDlg::OnFlipHorizontal() {
    Transform(&FlipHorizontal);
}
void CEditorDlg::OnFlipVertical() {
    Transform(&FlipVertical);
}
void CEditorDlg::OnInvert() {
    Transform(&InvertPixels);
}

void CEditorDlg::KeyboardPaint(int nMode, int nColumn, int nRow) {
    SpriteState before = Capture();
    PaintCell(nMode, kGridOrigin + kCellSize * nColumn, kGridOrigin + kCellSize * nRow);
    PaintPreview();
    Commit(std::move(before));
    m_grid.CellChanged(nColumn, nRow);
}

void CEditorDlg::OnKeyDown(UINT nChar, UINT /*nRepCnt*/, UINT /*nFlags*/) {
    // Before the first layout the grid has no cells to act on.
    if (!m_bGridReady)
        return;
    EndStroke();
    const CPoint cur = m_grid.GetCurCell();
    int dx = 0;
    int dy = 0;
    switch (nChar) {
    case VK_LEFT:
        dx = -1;
        break;
    case VK_RIGHT:
        dx = 1;
        break;
    case VK_UP:
        dy = -1;
        break;
    case VK_DOWN:
        dy = 1;
        break;
    case VK_SPACE: {
        const int w = WidthFromIndex(m_nWidthIndex);
        const bool set = m_pixels.GetAt(cur.y * w + cur.x) != 0;
        KeyboardPaint(set ? CELL_CLEAR : CELL_SET, cur.x, cur.y);
        return;
    }
    case VK_DELETE:
        KeyboardPaint(CELL_CLEAR, cur.x, cur.y);
        return;
    default:
        return;
    }
    m_grid.SetCurCell(cur.x + dx, cur.y + dy);
    // Shift+arrow sets the cell the cursor enters; at the edge it enters
    // none.
    const CPoint moved = m_grid.GetCurCell();
    if ((GetKeyState(VK_SHIFT) & 0x8000) && !(moved == cur))
        KeyboardPaint(CELL_SET, moved.x, moved.y);
}

void CEditorDlg::OnContextMenu(CWnd* pWnd, CPoint point) {
    if (pWnd != &m_grid)
        return;
    CMenu menu;
    menu.LoadMenu(IDR_EDITOR_MENU);
    menu.TrackPopupMenu(point.x, point.y, this);
}
