// The editor's commands beyond drawing with the mouse: undo and redo and the
// history kept between runs, the grid's keys and context menu, and the
// shifts, flips and invert of the whole sprite. Each asks the document for
// one step, then shows the result.

#include "EditorDlg.h"

#include "GridGeometry.h"
#include "HistoryText.h"
#include "StateFile.h"
#include "WinApp.h"

namespace {

// The history is this state file of the application's.
constexpr std::string_view kHistoryFile = "history";

} // namespace

void CEditorDlg::Changed(bool bRecorded) {
    // Assistive technology reads the cells again.
    if (bRecorded) {
        m_grid.AllCellsChanged();
        UpdateTitle();
    }
}

void CEditorDlg::OnEditUndo() {
    EndStroke();
    if (m_doc.Undo())
        ShowDocument();
}

void CEditorDlg::OnEditRedo() {
    EndStroke();
    if (m_doc.Redo())
        ShowDocument();
}

void CEditorDlg::KeepHistory() {
    EndStroke();
    if (CWinApp* pApp = AfxGetApp())
        AfxWriteStateFile(pApp->m_pszAppName, kHistoryFile, WriteHistoryText(m_doc.KeptSteps()));
}

void CEditorDlg::RestoreHistory() {
    // A file missing, damaged or not this program's is as if there were no
    // earlier run: nothing to say about it, nothing to undo.
    CWinApp* pApp = AfxGetApp();
    std::string text;
    if (!pApp || !AfxReadStateFile(pApp->m_pszAppName, kHistoryFile, kMaxHistoryTextBytes, text))
        return;
    if (std::optional<std::vector<SpriteState>> steps = ReadHistoryText(text))
        m_doc.RestoreSteps(std::move(*steps));
}

void CEditorDlg::OnUpdateEditUndo(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_doc.CanUndo());
}

void CEditorDlg::OnUpdateEditRedo(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_doc.CanRedo());
}

void CEditorDlg::OnUpdateNeedsGrid(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_doc.IsLaidOut());
}

void CEditorDlg::Transform(bool (*change)(SpriteDocument&)) {
    if (!m_doc.IsLaidOut())
        return;
    EndStroke();
    Changed(change(m_doc));
    RedrawGrid();
}

void CEditorDlg::OnShiftLeft() {
    Transform([](SpriteDocument& doc) { return doc.Shift(-1, 0); });
}
void CEditorDlg::OnShiftRight() {
    Transform([](SpriteDocument& doc) { return doc.Shift(1, 0); });
}
void CEditorDlg::OnShiftUp() {
    Transform([](SpriteDocument& doc) { return doc.Shift(0, -1); });
}
void CEditorDlg::OnShiftDown() {
    Transform([](SpriteDocument& doc) { return doc.Shift(0, 1); });
}
void CEditorDlg::OnFlipHorizontal() {
    Transform([](SpriteDocument& doc) { return doc.FlipHorizontal(); });
}
void CEditorDlg::OnFlipVertical() {
    Transform([](SpriteDocument& doc) { return doc.FlipVertical(); });
}
void CEditorDlg::OnInvert() {
    Transform([](SpriteDocument& doc) { return doc.Invert(); });
}

void CEditorDlg::KeyboardPaint(int nMode, int nColumn, int nRow) {
    Changed(m_doc.SetPixel({nColumn, nRow}, nMode == CELL_SET));
    PaintCell(nMode, CellEdge(nColumn), CellEdge(nRow));
    PaintPreviewPixel(nColumn, nRow);
    m_grid.CellChanged(nColumn, nRow);
}

void CEditorDlg::OnKeyDown(UINT nChar, UINT /*nRepCnt*/, UINT /*nFlags*/) {
    // Before the first layout the grid has no cells to act on.
    if (!m_doc.IsLaidOut())
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
    case VK_SPACE:
        KeyboardPaint(m_doc.IsSet({cur.x, cur.y}) ? CELL_CLEAR : CELL_SET, cur.x, cur.y);
        return;
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
