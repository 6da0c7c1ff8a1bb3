#pragma once

// The editor: the program's one working window, a view over the sprite
// document. It binds the document's size and name to the controls, paints the
// sprite as a grid of cells and as a small preview, turns mouse, keys and
// commands into changes of the document, and writes the sprite as a C
// declaration on request. Where each part lives: the binding, the fields and
// Make Code in EditorDlg.cpp; painting in EditorPaint.cpp; strokes with the
// mouse in EditorStroke.cpp; history, keys and whole-sprite commands in
// EditorCommands.cpp; paste, drop and open in EditorImport.cpp; the C file
// as the document, Save and Save As in EditorSource.cpp; the client
// geometry in GridGeometry.h.

#include "Afx.h"
#include "File.h"
#include "Gdi.h"
#include "GridCtrl.h"
#include "ImageSprite.h"
#include "Resource.h"
#include "SourceEmitter.h"
#include "SourceFile.h"
#include "SpriteDocument.h"
#include "Wnd.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The first argument of PaintCell. A stored pixel value, 0 or 1, doubles as
// the clear or set mode.
enum CellMode : int {
    CELL_OUTSIDE = -1,
    CELL_CLEAR = 0,
    CELL_SET = 1,
};

class CEditorDlg;

// The width radio's index of a sprite 8, 16 or 32 pixels wide (0 for any
// other): the binding's side of the document's width in pixels.
int WidthIndexOf(int width);

// The width in pixels of the width radio's index: 8, 16 or 32 for 0, 1 and
// 2; 0 (no columns) for any other, so that a bad stored index cannot size a
// sprite.
int WidthFromIndex(std::int32_t nWidthIndex);

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

    // The sprite being drawn, as the window last showed it.
    const SpriteDocument& GetDocument() const { return m_doc; }
    // How Make Code writes the sprite: the choices kept between runs.
    const CodeForm& GetCodeForm() const { return m_codeForm; }

    // Paints the cell with corner (x, y) in the mode's colour; clear and set
    // also store 0 or 1 at the cell's pixel of the document.
    void PaintCell(int nMode, int x, int y);
    // Repaints the whole preview from the document, once it is laid out.
    void PaintPreview();
    // Repaints the preview's square of the pixel at nColumn, nRow from the
    // document, once it is laid out: what one painted cell changes there.
    // Nothing is painted for a pixel beyond the largest sprite.
    void PaintPreviewPixel(int nColumn, int nRow);
    // Reads the controls, then repaints the preview and the whole grid.
    void RedrawGrid();
    // Lays out an empty grid of the width and height in the controls, as one
    // step of the document's history; layouts typed into the height field
    // one after another join one step.
    void ResetGrid(LayoutSource source = LayoutSource::Command);

    // Opens a file as Open does: an image, or a C file and one of its
    // arrays. "FILE:NAME" names the array, where no file is named so. False,
    // with a message and nothing changed, when it cannot be opened or the
    // user cancels.
    bool OpenPath(const CString& argument);
    // Writes the sprite back into the C file it came from, or when there is
    // none asks where to write it. False when nothing was written.
    bool Save();
    // Writes the sprite to `path`: the declaration appended to a C file
    // there, else a new header. That file is then the document.
    bool SaveAs(const CString& path);
    // Whether a C file is open and the sprite differs from what it holds.
    bool IsModified() const;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnInitDialog() override;
    // Enter and Esc end the window at once, as always; the history is kept
    // for the next run first.
    void OnOK() override;
    void OnCancel() override;

    // Binding and the fields (EditorDlg.cpp).
    void OnSysCommand(UINT nID, LPARAM lParam);
    HCURSOR OnQueryDragIcon();
    void OnNew();
    void OnMakeCode();
    void OnCopyCode();
    void OnWidth8();
    void OnWidth16();
    void OnWidth32();
    void OnChangeHeight();
    void OnChangeName();
    void OnCodeStyle();

    // Painting (EditorPaint.cpp).
    void OnPaint();

    // Strokes with the mouse (EditorStroke.cpp).
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnRButtonUp(UINT nFlags, CPoint point);
    void OnMouseLeave();

    // Commands and keys (EditorCommands.cpp).
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

    // Bringing a sprite back (EditorImport.cpp).
    void OnPasteSprite();
    void OnOpen();
    void OnDropFiles(HDROP hDropInfo);
    void OnDropText(HDROP hDropInfo);

    // The C file as the document (EditorSource.cpp).
    void OnSave();
    void OnSaveAs();

    DECLARE_MESSAGE_MAP()

private:
    // The C file the sprite came from, while one is open: its text as last
    // read or written, what the disk held then, and which array is drawn.
    struct SourceDocument {
        CString path;
        CSourceFile file;
        CFileStamp stamp;
        std::size_t nArray = 0;
        std::size_t nReading = 0;
    };

    // Shows the array of `file` listed as `name` (or the one the user
    // chooses) as the document; false when cancelled or it cannot be
    // opened, which a message says. With `bAsk`, unsaved changes to the
    // file open now are offered to be saved first; a reopen replaces the
    // drawing as one step that undo takes back.
    bool OpenSource(const CString& path, CSourceFile file, const CFileStamp& stamp,
                    std::string_view name, bool bAsk);
    // Reads the open C file again from disk and shows the same array.
    bool Reopen();
    // Opens the file at `path`: C text with an array the grid takes is the
    // document, anything else is tried as an image. False, with a message,
    // when neither opens.
    bool OpenFile(const CString& path, std::string_view name);
    // The array of `file` to draw: the one listed as `name`, the only one,
    // or the user's choice; none when cancelled or none can be opened.
    std::optional<std::size_t> ChooseArray(const CString& path, const CSourceFile& file,
                                           std::string_view name);
    // Writes the sprite into the open C file; false with a message when it
    // could not, the file as it was.
    bool SaveSource();
    // The sprite as it stands, to be written.
    SpriteReading CurrentSprite() const;
    // With unsaved changes, asks whether to save them first: true when the
    // caller may go on (saved or discarded), false when cancelled.
    bool KeepChanges();
    // The caption names the sprite and the file, marked while modified.
    void UpdateTitle();
    // Ends the C file as the document: the sprite stays, the caption is the
    // application's again.
    void CloseSource();

    // After a change the document recorded as a step: assistive technology
    // reads the cells again.
    void Changed(bool bRecorded);
    // Shows the document as it now stands after undo, redo or a sprite
    // brought back: the controls get its width and height without laying
    // anything out, and grid and preview are repainted.
    void ShowDocument();
    // Ends the stroke in progress, making it one step.
    void EndStroke();
    // The history kept between runs (EditorCommands.cpp): stored when the
    // window ends, and put behind the blank grid when it starts.
    void KeepHistory();
    void RestoreHistory();
    // Lays the grid out afresh from the controls, as a command: New, another
    // width or a new height.
    void LayOutAgain();
    // Changes the whole sprite by `change`, as one step.
    void Transform(bool (*change)(SpriteDocument&));
    // Sets or clears the cell at column, row from the keyboard, as one step.
    void KeyboardPaint(int nMode, int nColumn, int nRow);
    // The grid and preview controls follow the sprite's size.
    void UpdateGridDimensions();
    // Before the first layout the document's size follows the controls as
    // last read, which is what undoing that layout gives back.
    void KeepBlankSize();
    void OnWidth(int nIndex);
    // Reads the controls; false when there is no sprite to write yet: no
    // grid, or no name (which a message asks for).
    bool ReadSpriteToWrite();
    // Writes the sprite into the code box as Make Code does; false, with
    // the code box as it was, when there is no grid or no name (which a
    // message asks for).
    bool MakeCode();
    void OnButtonDown(int nMode, CPoint point);
    // Paints every cell of the sprite on the straight line between the cells
    // under two client points, which may lie outside the sprite, in the grid
    // and in the preview.
    void PaintStroke(int nMode, CPoint from, CPoint to);

    // Reads a sprite from pasted or dropped C text and applies it, letting
    // the user choose when the text can be read more than one way. Text that
    // cannot be read is named in a message and changes nothing.
    void PasteText(const CString& text);
    // Applies the sprite read from the image file at `path`, named after
    // the file.
    void ShowImage(const CString& path, ImageSprite sprite);
    // Makes the sprite the drawing, laid out and shown, as one step; with a
    // name, the name field gets it too.
    void ApplySprite(int width, int height, std::vector<std::uint32_t> pixels,
                     const std::optional<std::string>& name);

    // The bound values, transferred to and from the controls by UpdateData.
    int m_nWidthIndex;
    CString m_strCode;
    CString m_strName;
    int m_nHeight;

    SpriteDocument m_doc;
    CSpinButtonCtrl m_spinHeight;
    // The name field, which hints when the name is not a C identifier.
    CEdit m_editName;
    // The height field, which tells typing from the arrows' steps.
    CEdit m_editHeight;
    HICON m_hIcon;
    // The grid's keyboard focus and current cell, and the preview's name.
    CSpriteGrid m_grid{*this};
    CImageCtrl m_preview;
    // How Make Code writes the sprite; the choices kept between runs.
    CodeForm m_codeForm;

    // The C file being drawn from, if any; none for a drawing of its own,
    // a paste or an image.
    std::optional<SourceDocument> m_source;

    // Where the pointer was when the stroke being drawn last moved. A press
    // starts the stroke; each move with a button held draws the line from
    // here to the new position, clipped to the sprite, so a fast drag leaves
    // no gaps and reaches the sprite's edge. A move with no button held, the
    // pointer leaving the window, or a command that lays out or restores the
    // drawing ends it.
    std::optional<CPoint> m_strokePoint;
};
