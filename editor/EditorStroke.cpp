// Strokes with the mouse: a press paints the cell under it, each move with a
// button held paints the line from the last position, and the last release
// makes the stroke one step. Client points become cells here, once; the
// document paints and clips the line.

#include "EditorDlg.h"

#include "GridGeometry.h"

void CEditorDlg::OnButtonDown(int nMode, CPoint point) {
    // Before the first layout there is nothing to draw into.
    if (!m_doc.IsLaidOut())
        return;
    m_strokePoint = point;
    if (const auto hit = CellHitTest(point.x, point.y, m_doc.Width(), m_doc.Height())) {
        // The grid takes the keyboard, so that undo follows at once, and its
        // cursor follows the mouse.
        m_grid.SetFocus();
        m_grid.SetCurCell(hit->column, hit->row);
        PaintCell(nMode, CellEdge(hit->column), CellEdge(hit->row));
        PaintPreviewPixel(hit->column, hit->row);
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
    const bool drawing = m_doc.IsLaidOut() && (nFlags & (MK_LBUTTON | MK_RBUTTON)) != 0;
    if (drawing) {
        // A stroke that came back into the window, or goes on after a
        // command, starts where the pointer is.
        const CPoint from = m_strokePoint.value_or(point);
        // With both buttons held the erase comes last, so the cells end clear.
        if (nFlags & MK_LBUTTON)
            PaintStroke(CELL_SET, from, point);
        if (nFlags & MK_RBUTTON)
            PaintStroke(CELL_CLEAR, from, point);
        // The grid's cursor follows the last cell drawn.
        if (const auto hit = CellHitTest(point.x, point.y, m_doc.Width(), m_doc.Height()))
            m_grid.SetCurCell(hit->column, hit->row);
    }
    m_strokePoint = drawing ? std::optional(point) : std::nullopt;
    Default();
}

void CEditorDlg::OnMouseLeave() {
    m_strokePoint.reset();
}

void CEditorDlg::PaintStroke(int nMode, CPoint from, CPoint to) {
    const std::vector<SpriteCell> painted =
        m_doc.PaintLine({CellIndexAt(from.x), CellIndexAt(from.y)},
                        {CellIndexAt(to.x), CellIndexAt(to.y)}, nMode == CELL_SET);
    // The document holds the cells already: painting them stores nothing new.
    // The cells first, then their preview squares: what the flush sends is
    // two runs of touching areas however long the line.
    for (const SpriteCell& cell : painted)
        PaintCell(nMode, CellEdge(cell.column), CellEdge(cell.row));
    for (const SpriteCell& cell : painted)
        PaintPreviewPixel(cell.column, cell.row);
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

void CEditorDlg::EndStroke() {
    Changed(m_doc.EndStroke());
}
