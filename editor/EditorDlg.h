#pragma once

// The editor: the program's one working window. It holds the sprite being
// drawn, paints it as a grid of cells and as a small preview, and turns it
// into a C declaration on request.

#include "Afx.h"
#include "Gdi.h"
#include "Resource.h"
#include "SpriteRaster.h"
#include "Wnd.h"

#include <optional>

// The first argument of PaintCell. A stored pixel value, 0 or 1, doubles as
// the clear or set mode.
enum CellMode : int {
    CELL_OUTSIDE = -1,
    CELL_CLEAR = 0,
    CELL_SET = 1,
};

// Where the preview sits, in client pixels, and its size: two pixels per
// sprite pixel, room for the largest sprite.
inline constexpr int kPreviewLeft = 280;
inline constexpr int kPreviewTop = 210;
inline constexpr int kPreviewScale = 2;

class CEditorDlg : public CDialog {
public:
    explicit CEditorDlg(CWnd* pParent = nullptr);

    enum { IDD = IDD_EDITOR_DIALOG };

    // The grid has been laid out at least once; until then nothing is drawn
    // in the grid or the preview, and the raster has no elements.
    bool m_bGridReady = false;
    // One element per sprite pixel, row by row: 0 clear, 1 set. It holds
    // exactly m_nHeight x width elements once the grid is laid out.
    CUIntArray m_pixels;
    CSpinButtonCtrl m_spinHeight;
    // The name field, which hints when the name is not a C identifier.
    CEdit m_editName;
    // The bound values, transferred to and from the controls by UpdateData.
    int m_nWidthIndex;
    CString m_strCode;
    CString m_strName;
    int m_nHeight;
    HICON m_hIcon;

    // Paints the cell with corner (x, y) in the mode's colour; clear and set
    // also store 0 or 1 at the cell's element.
    void PaintCell(int nMode, int x, int y);
    // Repaints the whole preview from the raster, once the grid is laid out.
    void PaintPreview();
    // Reads the controls, then repaints the preview and the whole grid.
    void RedrawGrid();
    // Lays out an empty grid of the width and height in the controls.
    void ResetGrid();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnInitDialog() override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnNew();
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnMouseLeave();
    void OnMakeCode();
    void OnWidth8();
    void OnWidth16();
    void OnWidth32();
    void OnChangeHeight();
    void OnChangeName();

    DECLARE_MESSAGE_MAP()

private:
    void OnWidth(int nIndex);
    void OnButtonDown(int nMode, CPoint point);
    // Paints every cell of the sprite on the straight line between the cells
    // under two client points, which may lie outside the sprite; false if
    // the line misses the sprite.
    bool PaintStroke(int nMode, CPoint from, CPoint to);

    // Where the pointer was when the stroke being drawn last moved. A press
    // starts the stroke; each move with a button held draws the line from
    // here to the new position, clipped to the sprite, so a fast drag leaves
    // no gaps and reaches the sprite's edge. A move with no button held, or
    // the pointer leaving the window, ends the stroke.
    std::optional<CPoint> m_strokePoint;
};
