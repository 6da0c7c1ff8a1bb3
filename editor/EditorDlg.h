#pragma once

// The editor: the program's one working window. It holds the sprite being
// drawn, paints it as a grid of cells and as a small preview, and turns it
// into a C declaration on request.

#include "Afx.h"
#include "Gdi.h"
#include "GridCtrl.h"
#include "Resource.h"
#include "SourceEmitter.h"
#include "SpriteHistory.h"
#include "SpriteRaster.h"
#include "Wnd.h"

#include <optional>
#include <string>

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

class CEditorDlg;

// The drawing grid as the keyboard and assistive technology see it: each
// cell named by its row, column and state.
class CSpriteGrid : public CGridCtrl {
public:
    explicit CSpriteGrid(const CEditorDlg& dlg) : m_dlg(dlg) {}
    CString GetCellText(int nColumn, int nRow) const override;

private:
    const CEditorDlg& m_dlg;
};

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
    // The grid's keyboard focus and current cell, and the preview's name.
    CSpriteGrid m_grid{*this};
    CImageCtrl m_preview;
    // Every change to the drawing, for undo and redo.
    SpriteHistory m_history;
    // How Make Code writes the sprite; the choices kept between runs.
    CodeForm m_codeForm;

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
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnRButtonUp(UINT nFlags, CPoint point);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnContextMenu(CWnd* pWnd, CPoint point);
    void OnEditUndo();
    void OnEditRedo();
    void OnUpdateEditUndo(CCmdUI* pCmdUI);
    void OnUpdateEditRedo(CCmdUI* pCmdUI);
    void OnUpdateNeedsGrid(CCmdUI* pCmdUI);
    void OnShiftLeft();
    void OnShiftRight();
    void OnShiftUp();
    void OnShiftDown();
    void OnFlipHorizontal();
    void OnFlipVertical();
    void OnInvert();
    void OnCodeStyle();
    void OnPasteSprite();
    void OnOpenImage();
    void OnDropFiles(HDROP hDropInfo);
    void OnDropText(HDROP hDropInfo);
    void OnChangeName();

    DECLARE_MESSAGE_MAP()

private:
    // The drawing as one history step: width, height, pixels and whether
    // the grid is laid out.
    SpriteState Capture() const;
    // Records `before` as one step if the drawing has changed since.
    void Commit(SpriteState before);
    // Puts a recorded drawing back: the controls get its width and height
    // without laying anything out, and grid and preview are repainted.
    void Restore(const SpriteState& state);
    // Ends the stroke in progress, making it one step.
    void EndStroke();
    // Changes the whole sprite by `transform`, as one step.
    void Transform(void (*transform)(std::span<std::uint32_t>, int, int));
    // Sets or clears the cell at column, row from the keyboard, as one step.
    void KeyboardPaint(int nMode, int nColumn, int nRow);
    // The grid and preview controls follow the sprite's size.
    void UpdateGridDimensions();
    void OnWidth(int nIndex);
    void OnButtonDown(int nMode, CPoint point);
    // Paints every cell of the sprite on the straight line between the cells
    // under two client points, which may lie outside the sprite; false if
    // the line misses the sprite.
    bool PaintStroke(int nMode, CPoint from, CPoint to);

    // Reads a sprite from pasted or dropped C text and applies it, letting
    // the user choose when the text can be read more than one way. Text that
    // cannot be read is named in a message and changes nothing.
    void PasteText(const CString& text);
    // Reads the image file at `path` as a sprite named after the file and
    // applies it; a file that cannot be read is named in a message and
    // changes nothing.
    void OpenImage(const CString& path);
    // Makes `sprite` the drawing, laid out and shown, as one step; with a
    // name, the name field gets it too.
    void ApplySprite(const SpriteState& sprite, const std::optional<std::string>& name);

    // Where the pointer was when the stroke being drawn last moved. A press
    // starts the stroke; each move with a button held draws the line from
    // here to the new position, clipped to the sprite, so a fast drag leaves
    // no gaps and reaches the sprite's edge. A move with no button held, or
    // the pointer leaving the window, ends the stroke.
    std::optional<CPoint> m_strokePoint;
    // The drawing before the stroke in progress, from its first button
    // down to its last button up.
    std::optional<SpriteState> m_strokeBefore;
};
