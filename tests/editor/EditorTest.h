#pragma once

// What the editor's widget tests share: the editor shown on the offscreen
// platform, driven by real Qt input, and checks that read its document and
// its client surface. Positions come from the editor's grid geometry.

#include "Controls.h"
#include "DialogHost.h"
#include "EditorDlg.h"
#include "GridGeometry.h"
#include "GridWidget.h"
#include "Handles.h"
#include "WidgetTest.h"
#include "WinApp.h"

#include <QApplication>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>
#include <utility>

using namespace glimmet_test;

// A sprite pixel by column and row.
using Cell = std::pair<int, int>;
using Cells = std::set<Cell>;

// A point well inside the cell.
inline QPoint CellPoint(Cell cell) {
    return QPoint(CellEdge(cell.first) + kCellSize / 2, CellEdge(cell.second) + kCellSize / 2);
}

inline Cells AllCells(int w, int h) {
    Cells cells;
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col)
            cells.insert({col, row});
    return cells;
}

inline CRect CellRect(int col, int row) {
    return CRect(CellEdge(col), CellEdge(row), CellEdge(col + 1), CellEdge(row + 1));
}

// The grid area of the largest sprite, and the preview's.
inline constexpr CRect kGridArea(kGridOrigin, kGridOrigin, CellEdge(kMaxSpriteColumns),
                                 CellEdge(kMaxSpriteRows));
inline constexpr CRect kPreviewArea(kPreviewLeft, kPreviewTop, kPreviewLeft + kPreviewWidth,
                                    kPreviewTop + kPreviewHeight);

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dlg.Create());
        ShowAndWait(dlg);
    }

    const SpriteDocument& Doc() const { return dlg.GetDocument(); }
    void New() { ClickControl(dlg, IDC_NEW); }
    void ClickCell(Cell cell, Qt::MouseButton button = Qt::LeftButton) {
        Click(dlg, CellPoint(cell), button);
    }
    void ClickRadio(int nID) { ClickControl(dlg, nID, QPoint(5, Control(dlg, nID)->height() / 2)); }
    // A press at one cell and a single move, with `held` down, to another.
    void Stroke(Qt::MouseButton press, Qt::MouseButtons held, Cell from, Cell to) {
        MousePress(dlg, CellPoint(from), press, Qt::NoButton);
        MouseMove(dlg, CellPoint(to), held);
        MouseRelease(dlg, CellPoint(to), press, held);
    }
    void FillSprite(int w, int h) {
        for (int row = 0; row < h; ++row)
            Stroke(Qt::LeftButton, Qt::LeftButton, {0, row}, {w - 1, row});
    }
    QToolButton* SpinArrow(bool up) {
        auto* spin = static_cast<platform_detail::UpDownControl*>(Control(dlg, IDC_HEIGHT_SPIN));
        return up ? spin->UpButton() : spin->DownButton();
    }
    // The drawing grid's widget, which takes the keyboard.
    platform_detail::GridWidget* Grid() {
        return platform_detail::WidgetOf(dlg.GetSafeHwnd())
            ->findChild<platform_detail::GridWidget*>();
    }
    // The set cells of the document.
    Cells SetCells() const {
        Cells cells;
        for (int row = 0; row < Doc().Height(); ++row)
            for (int col = 0; col < Doc().Width(); ++col)
                if (Doc().IsSet({col, row}))
                    cells.insert({col, row});
        return cells;
    }

    // The document holds exactly a w x h sprite with `set` set, the grid
    // shows it cell by cell with every other cell of the largest sprite's
    // area in the face colour, and the preview shows it kPreviewScale pixels
    // per sprite pixel with the rest of its area in the face colour.
    ::testing::AssertionResult ShowsSprite(int w, int h, const Cells& set) {
        if (!Doc().IsLaidOut() || Doc().Width() != w || Doc().Height() != h)
            return ::testing::AssertionFailure()
                   << "the document is " << Doc().Width() << "x" << Doc().Height()
                   << (Doc().IsLaidOut() ? "" : ", not laid out");
        if (SetCells() != set)
            return ::testing::AssertionFailure() << "the document holds other set cells";
        for (int row = 0; row < kMaxSpriteRows; ++row) {
            for (int col = 0; col < kMaxSpriteColumns; ++col) {
                const bool inside = col < w && row < h;
                const COLORREF color = !inside ? Face() : set.count({col, row}) ? kBlack : kWhite;
                if (auto cell = ClientRectIs(dlg, CellRect(col, row), color); !cell)
                    return cell << " (grid cell " << col << "," << row << ")";
                const int x = kPreviewLeft + kPreviewScale * col;
                const int y = kPreviewTop + kPreviewScale * row;
                const CRect square(x, y, x + kPreviewScale, y + kPreviewScale);
                if (auto preview = ClientRectIs(dlg, square, color); !preview)
                    return preview << " (preview pixel " << col << "," << row << ")";
            }
        }
        return ::testing::AssertionSuccess();
    }

    CWinApp app{"glimmet"};
    CEditorDlg dlg;
};

// What the drawing is: its size and set cells.
struct Drawing {
    int w = 0;
    int h = 0;
    Cells set;
    friend bool operator==(const Drawing&, const Drawing&) = default;
};

class HistoryTest : public EditorTest {
protected:
    Drawing Now() const { return {Doc().Width(), Doc().Height(), SetCells()}; }
    // A key to whatever has the keyboard focus, as a person presses it.
    void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        PressKey(QApplication::focusWidget(), key, mods);
    }
    ::testing::AssertionResult Shows(const Drawing& d) {
        if (ControlText(dlg, IDC_HEIGHT) != QString::number(d.h))
            return ::testing::AssertionFailure()
                   << "the height field shows " << ControlText(dlg, IDC_HEIGHT).toStdString();
        return ShowsSprite(d.w, d.h, d.set);
    }
};
