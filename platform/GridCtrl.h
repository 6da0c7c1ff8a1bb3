#pragma once

// Controls that a dialog makes itself, over parts of its client area that it
// draws: a grid of cells that takes the keyboard, and an image.

#include "Wnd.h"

class CDialog;

// A grid of equal square cells over part of a dialog's client area. The
// dialog draws the cells; the control takes the keyboard focus for them.
// - It lets the mouse through to the dialog.
// - The keys pressed in it reach the dialog as WM_KEYDOWN, and the menu key
//   (or Shift+F10) as WM_CONTEXTMENU, unless they are the dialog's own keys
//   (Tab, Enter, Esc, F1, F10) or an accelerator.
// - While the keyboard is used in it, a frame marks the current cell; a click
//   in the dialog hides the frame until the next key, so that what the mouse
//   drew shows as drawn.
// - Assistive technology sees a table of rows x columns cells, each named by
//   GetCellText, the current one focused.
class CGridCtrl : public CWnd {
public:
    CGridCtrl();
    ~CGridCtrl() override;

    // Makes the control over `rect` (client pixels) of pParent, after the
    // dialog's controls in the tab order, with cells nCellSize pixels square
    // from the rectangle's top-left corner.
    bool Create(const CRect& rect, int nCellSize, CDialog* pParent, UINT nID,
                std::string_view name);

    // The cells in use; 0 x 0 for none, which shows no current cell.
    void SetDimensions(int nColumns, int nRows);
    int GetColumnCount() const { return m_nColumns; }
    int GetRowCount() const { return m_nRows; }
    // The current cell, kept inside the dimensions.
    void SetCurCell(int nColumn, int nRow);
    CPoint GetCurCell() const { return m_cur; }
    // Tells assistive technology that the cell's text has changed, or that
    // of every cell.
    void CellChanged(int nColumn, int nRow);
    void AllCellsChanged();

    // The accessible name of a cell.
    virtual CString GetCellText(int nColumn, int nRow) const;

private:
    int m_nColumns = 0;
    int m_nRows = 0;
    CPoint m_cur;
};

// An image that the dialog draws, named for assistive technology; it draws
// nothing itself and lets the mouse through.
class CImageCtrl : public CWnd {
public:
    bool Create(const CRect& rect, CDialog* pParent, UINT nID, std::string_view name);
};
