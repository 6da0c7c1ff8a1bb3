// The editor's hot paths on a real editor dialog: built from its template,
// shown on the offscreen platform, and brought to the screen by the host's
// flush exactly as after a delivered message. The sprite is the largest one,
// 32 x 16, so every path paints as much as it ever does.

#include "Bench.h"

#include "DialogHost.h"
#include "EditorDlg.h"
#include "GridGeometry.h"
#include "Handles.h"
#include "WinApp.h"

#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWindow>

#include <memory>

namespace {

class BenchEditor {
public:
    BenchEditor() {
        // No benchmark opens a box; should one come, it must not wait.
        AfxSetMessageBoxHook([](const MessageBoxRequest&) { return IDOK; });
        if (!m_dlg.Create())
            return;
        m_pHost = platform_detail::HostOf(&m_dlg);
        if (!m_pHost)
            return;
        m_pHost->show();
        for (int i = 0;
             i < 100 && !(m_pHost->windowHandle() && m_pHost->windowHandle()->isExposed()); ++i)
            QApplication::processEvents();
        QApplication::processEvents();
    }
    ~BenchEditor() { AfxSetMessageBoxHook({}); }

    CEditorDlg& Dlg() { return m_dlg; }
    platform_detail::DialogHost* Host() const { return m_pHost; }

    // Lays out an empty grid of the largest sprite; false if the dialog
    // did not take it.
    bool LayOutLargest() {
        // Through the controls, as a user sets them.
        if (auto* width = qobject_cast<QAbstractButton*>(m_pHost->Control(IDC_WIDTH32)))
            width->click();
        if (auto* height = qobject_cast<QLineEdit*>(m_pHost->Control(IDC_HEIGHT)))
            height->setText(QString::number(kMaxSpriteRows));
        m_dlg.ResetGrid();
        m_pHost->Flush();
        const SpriteDocument& doc = m_dlg.GetDocument();
        return doc.IsLaidOut() && doc.Width() == kMaxSpriteColumns &&
               doc.Height() == kMaxSpriteRows;
    }

private:
    CEditorDlg m_dlg;
    platform_detail::DialogHost* m_pHost = nullptr;
};

std::unique_ptr<BenchEditor> g_editor;

// The shown editor with an empty 32 x 16 grid, or null after reporting why
// the benchmark cannot run.
BenchEditor* ReadyEditor(benchmark::State& state) {
    if (!g_editor)
        g_editor = std::make_unique<BenchEditor>();
    if (!g_editor->Host() || !g_editor->Host()->isVisible()) {
        state.SkipWithError("the editor dialog could not be created and shown");
        return nullptr;
    }
    if (!g_editor->LayOutLargest()) {
        state.SkipWithError("the editor did not lay out a 32 x 16 grid");
        return nullptr;
    }
    return g_editor.get();
}

// The client point at the centre of sprite cell number `cell`, row by row.
QPoint CellCentre(int cell) {
    const int col = cell % kMaxSpriteColumns;
    const int row = (cell / kMaxSpriteColumns) % kMaxSpriteRows;
    return {CellEdge(col) + kCellSize / 2, CellEdge(row) + kCellSize / 2};
}

void BM_Layout(benchmark::State& state) {
    BenchEditor* editor = ReadyEditor(state);
    if (!editor)
        return;
    for (auto _ : state) {
        editor->Dlg().ResetGrid();
        editor->Host()->Flush();
    }
}

// A left press and release at `at`, as real mouse events through the
// toolkit's delivery.
void ClickEvent(BenchEditor& editor, QPointF at) {
    QMouseEvent press(QEvent::MouseButtonPress, at, editor.Host()->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(editor.Host(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, editor.Host()->mapToGlobal(at),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(editor.Host(), &release);
}

// A left click on a cell: the message as the host delivers it, then the
// flush that follows every delivered message. Each click hits the next cell.
void BM_StrokeCell(benchmark::State& state) {
    BenchEditor* editor = ReadyEditor(state);
    if (!editor)
        return;
    int cell = 0;
    for (auto _ : state) {
        const QPoint at = CellCentre(cell++);
        editor->Dlg().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x(), at.y()));
        editor->Host()->Flush();
    }
    if (!editor->Dlg().GetDocument().IsSet({0, 0}))
        state.SkipWithError("the click did not set its cell");
}

// The same click as a real mouse press and release, through the toolkit's
// event delivery.
void BM_StrokeCellEvent(benchmark::State& state) {
    BenchEditor* editor = ReadyEditor(state);
    if (!editor)
        return;
    int cell = 0;
    for (auto _ : state) {
        ClickEvent(*editor, CellCentre(cell++));
    }
    if (!editor->Dlg().GetDocument().IsSet({0, 0}))
        state.SkipWithError("the press did not set its cell");
}

// The same click, counting the images the host's flushes send the screen
// for it (on X11 each is one put-image request): the cell and the preview
// should go as one.
void BM_ClickScreenImages(benchmark::State& state) {
    BenchEditor* editor = ReadyEditor(state);
    if (!editor)
        return;
    int cell = 0;
    const int before = editor->Host()->ScreenImages();
    for (auto _ : state) {
        ClickEvent(*editor, CellCentre(cell++));
    }
    state.counters["images_per_click"] =
        benchmark::Counter(static_cast<double>(editor->Host()->ScreenImages() - before) /
                           static_cast<double>(state.iterations()));
}

void BM_RedrawGrid(benchmark::State& state) {
    BenchEditor* editor = ReadyEditor(state);
    if (!editor)
        return;
    for (auto _ : state) {
        editor->Dlg().RedrawGrid();
        editor->Host()->Flush();
    }
}

// A move with no button held: the editor reads every control and draws
// nothing. Delivered as a real mouse event, so the cost of the toolkit's
// event path is in it.
void BM_MouseMoveNoButton(benchmark::State& state) {
    BenchEditor* editor = ReadyEditor(state);
    if (!editor)
        return;
    int cell = 0;
    for (auto _ : state) {
        const QPointF at = CellCentre(cell++);
        QMouseEvent move(QEvent::MouseMove, at, editor->Host()->mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(editor->Host(), &move);
    }
    // A move must have read the controls: a refused height text is warned
    // of at once.
    auto* height = qobject_cast<QLineEdit*>(editor->Host()->Control(IDC_HEIGHT));
    {
        const QSignalBlocker quiet(height);
        height->setText("x");
    }
    const QPointF at = CellCentre(0);
    QMouseEvent move(QEvent::MouseMove, at, editor->Host()->mapToGlobal(at), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(editor->Host(), &move);
    const bool warned = editor->Host()->Warning().IsShownAt(height);
    {
        const QSignalBlocker quiet(height);
        height->setText(QString::number(kMaxSpriteRows));
    }
    if (!warned)
        state.SkipWithError("the move did not read the controls");
}

// A move with the left button held, one cell further each time: the stroke
// joins the cells and the preview follows.
void BM_DragMove(benchmark::State& state) {
    BenchEditor* editor = ReadyEditor(state);
    if (!editor)
        return;
    int cell = 0;
    for (auto _ : state) {
        const QPointF at = CellCentre(cell++);
        QMouseEvent move(QEvent::MouseMove, at, editor->Host()->mapToGlobal(at), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(editor->Host(), &move);
    }
    if (!editor->Dlg().GetDocument().IsSet({0, 0}))
        state.SkipWithError("the drag did not set its cells");
}

// Undo and redo in turn of an invert of the whole 32 x 16 sprite: each puts
// back every pixel and repaints grid and preview.
void BM_UndoRedo(benchmark::State& state) {
    BenchEditor* editor = ReadyEditor(state);
    if (!editor)
        return;
    editor->Dlg().SendMessage(WM_COMMAND, IDM_INVERT);
    bool undo = true;
    for (auto _ : state) {
        editor->Dlg().SendMessage(WM_COMMAND, undo ? IDM_EDIT_UNDO : IDM_EDIT_REDO);
        editor->Host()->Flush();
        undo = !undo;
    }
    if (editor->Dlg().GetDocument().Pixels().size() != kMaxSpriteColumns * kMaxSpriteRows)
        state.SkipWithError("undo and redo lost the sprite");
}

BENCHMARK(BM_Layout)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UndoRedo)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StrokeCell)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StrokeCellEvent)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClickScreenImages)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RedrawGrid)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MouseMoveNoButton)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DragMove)->Unit(benchmark::kMicrosecond);

} // namespace

void CloseBenchEditor() {
    g_editor.reset();
}
